// CPropertySheet: building the PropertySheetW header and running it modal or modeless.
#include "ui/CPropertySheet.h"

namespace {
// The sheet whose PropertySheetW call is under way, so that its callback can tell it its window
// before the first page sees a message. One at a time: sheets are opened by the user one by one.
CPropertySheet* g_pSheetStarting = nullptr;
} // namespace

CPropertySheet::CPropertySheet(const CString& caption, HWND parent, UINT selectPage)
    : m_caption(caption), m_parent(parent), m_selectPage(selectPage) {}

CPropertySheet::~CPropertySheet() {
    // A modeless sheet that its owner did not destroy must go before its pages do.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

INT_PTR CPropertySheet::DoModal() {
    INT_PTR result = Run(0);
    m_hWnd = nullptr; // PropertySheetW has destroyed the window
    return result;
}

BOOL CPropertySheet::Create() {
    INT_PTR result = Run(PSH_MODELESS);
    if (result == 0 || result == -1) {
        m_hWnd = nullptr;
        return FALSE;
    }
    m_hWnd = reinterpret_cast<HWND>(result);
    return TRUE;
}

INT_PTR CPropertySheet::Run(DWORD extraFlags) {
    m_headers.clear();
    for (CPropertyPage* page : m_pages) {
        PROPSHEETPAGEW psp = page->GetPageHeader();
        psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
        m_headers.push_back(psp);
    }
    PROPSHEETHEADERW psh = {};
    psh.dwSize = sizeof(psh);
    psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOCONTEXTHELP | extraFlags;
    psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    psh.hwndParent = m_parent;
    psh.hInstance = CDialog::GetResourceInstance();
    psh.pszCaption = m_caption.c_str();
    psh.nPages = static_cast<UINT>(m_headers.size());
    psh.nStartPage = m_selectPage < psh.nPages ? m_selectPage : 0;
    psh.ppsp = m_headers.empty() ? nullptr : m_headers.data();
    psh.pfnCallback = &CPropertySheet::SheetCallback;

    g_pSheetStarting = this;
    INT_PTR result = ::PropertySheetW(&psh);
    g_pSheetStarting = nullptr;
    return result;
}

int CALLBACK CPropertySheet::SheetCallback(HWND hWnd, UINT msg, LPARAM) {
    if (msg == PSCB_INITIALIZED && g_pSheetStarting != nullptr)
        g_pSheetStarting->m_hWnd = hWnd;
    return 0;
}
