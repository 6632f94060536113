// CControlColors on Windows: GDI solid brushes and repainting the dialog's control.
#include <windows.h>

#include "settings/CControlColors.h"

CControlColors::Handle CControlColors::CreateBrush(COLORREF color) {
    return ::CreateSolidBrush(color);
}

void CControlColors::DestroyBrush(Handle brush) {
    ::DeleteObject(static_cast<HBRUSH>(brush));
}

void CControlColors::RepaintControl(DWORD controlId) const {
    if (m_owner == nullptr)
        return;
    // Invalidated without erasing: the control repaints itself and asks for its colours anew.
    HWND control = ::GetDlgItem(static_cast<HWND>(m_owner), static_cast<int>(controlId));
    if (control != nullptr)
        ::InvalidateRect(control, nullptr, FALSE);
}
