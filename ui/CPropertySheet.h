// CPropertySheet: a property sheet over PropertySheetW, modal or (for tests) modeless.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/CPropertyPage.h"
#include "ui/CWnd.h"

// The sheet's pages are added in order and not owned; they must outlive the sheet's window.
// The program offers no help, so neither the sheet nor any page gets a Help button, and the
// sheet has no "?" caption button. User-interface thread only.
class CPropertySheet : public CWnd {
public:
    CPropertySheet(const CString& caption, HWND parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page) { m_pages.push_back(page); }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }

    // Runs the sheet until OK or Cancel closes it. PropertySheetW's result: a positive value
    // when the user applied changes, 0 when not, -1 when the sheet could not be created.
    INT_PTR DoModal();
    // Creates the sheet modeless (tests drive it with messages). FALSE when it could not be
    // created. After OK or Cancel the window stays until DestroyWindow; IsClosed tells.
    BOOL Create();
    // TRUE once a modeless sheet was closed with OK or Cancel (it has no current page then).
    BOOL IsClosed() const { return GetActivePageWindow() == nullptr; }

    // ---- Driving the sheet as the user would ----
    // PSBTN_OK, PSBTN_CANCEL, PSBTN_APPLYNOW...
    void PressButton(int button) { SendMessage(PSM_PRESSBUTTON, button); }
    // Selects a page; FALSE when the current page refused to be left (or index is wrong).
    BOOL SetActivePage(int index) { return SendMessage(PSM_SETCURSEL, index) != 0; }
    HWND GetActivePageWindow() const {
        return reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
    }
    // The sheet's Apply button (its fixed control id).
    HWND GetApplyButton() const { return GetDlgItem(kApplyButtonId); }

    static constexpr int kApplyButtonId = 0x3021;

private:
    INT_PTR Run(DWORD extraFlags);
    static int CALLBACK SheetCallback(HWND hWnd, UINT msg, LPARAM lParam);

    CString m_caption;
    HWND m_parent;
    UINT m_selectPage;
    std::vector<CPropertyPage*> m_pages;
    std::vector<PROPSHEETPAGEW> m_headers;
};
