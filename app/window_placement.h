// Storing and restoring the main window's position, size and state as the MainWndPos text.
#pragma once

#include <windows.h>

#include "foundation/base_types.h"

// Reads the window's placement and stores its ten-number text (window_placement_text.h) in
// g_strMainWndPos. FALSE, storing nothing, when there is no window or its placement cannot be
// read. The main dialog calls it in OnDestroy while not minimized.
BOOL SavePlacement(HWND hWnd);

// Applies a placement text to the window; a window saved maximized opens maximized, one stored
// as hidden opens normally. FALSE,
// leaving the window alone, when there is no window or the text is not exactly ten numbers.
// The main dialog calls it in OnInitDialog with g_strMainWndPos when that is not empty.
BOOL RestorePlacement(const CString& text, HWND hWnd);
