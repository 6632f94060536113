// The answer of a dialog to its control-colour messages from a CControlColors table.
#include "settings/control_colors_win.h"

HBRUSH AnswerControlColor(const CControlColors& colors, HWND control, HDC dc, HBRUSH defaultBrush) {
    const CControlColors::SEntry* entry = colors.Find(static_cast<DWORD>(::GetDlgCtrlID(control)));
    if (entry == nullptr || entry->m_brush == nullptr)
        return defaultBrush;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, entry->m_textColor);
    return static_cast<HBRUSH>(entry->m_brush);
}
