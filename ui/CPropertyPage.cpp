// CPropertyPage: the page header, the page procedure and the PSN_* dispatch.
#include "ui/CPropertyPage.h"

CPropertyPage::CPropertyPage(UINT templateId) : CDialog(templateId), m_psp() {
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = GetResourceInstance();
    m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
    m_psp.pfnDlgProc = &CPropertyPage::PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertyPage::SetModified(BOOL changed) {
    HWND sheet = GetParent();
    if (sheet != nullptr)
        ::SendMessageW(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED,
                       reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnNotify(int id, NMHDR* header, LRESULT& result) {
    // Only the sheet's own notifications; a child control's go on to the derived page.
    if (header == nullptr || header->hwndFrom != GetParent())
        return CDialog::OnNotify(id, header, result);
    switch (header->code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE; // TRUE keeps the page
        return TRUE;
    case PSN_APPLY:
        result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return TRUE;
    case PSN_RESET:
        OnReset();
        return TRUE;
    default:
        return CDialog::OnNotify(id, header, result);
    }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (msg == WM_INITDIALOG) {
        // A page's WM_INITDIALOG carries (a copy of) its PROPSHEETPAGEW, whose lParam is the page.
        auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
        dialog = reinterpret_cast<CPropertyPage*>(psp->lParam);
        dialog->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    }
    return DispatchDialogMessage(dialog, hWnd, msg, wParam, lParam);
}
