// The message-box seam: every box of the program goes through UiMessageBox, which tests answer.
#pragma once

#include <windows.h>

#include <functional>

#include "foundation/base_types.h"

// Shows a message box (MessageBoxW) and returns the button pressed (IDOK, IDYES...), or, while a
// handler is set, returns what the handler answers without showing anything. User-interface
// thread only.
int UiMessageBox(HWND owner, const CString& text, const CString& caption, UINT type);

using UiMessageBoxHandler =
    std::function<int(HWND owner, const CString& text, const CString& caption, UINT type)>;
// Replaces the boxes by handler; an empty handler brings the real boxes back. For tests.
void SetUiMessageBoxHandler(UiMessageBoxHandler handler);
