// The answer of a dialog to its control-colour messages from a CControlColors table.
#pragma once

#include <windows.h>

#include "settings/CControlColors.h"

// For WM_CTLCOLOR*: a control with an entry is drawn with its text colour on a transparent
// background and the entry's brush; any other control gets defaultBrush (usually what the
// dialog's default processing would give).
HBRUSH AnswerControlColor(const CControlColors& colors, HWND control, HDC dc, HBRUSH defaultBrush);
