// CPropertyPage: one page of a property sheet, whose PSN_* notifications go to virtual handlers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/CDialog.h"

// A dialog template shown as a page of a CPropertySheet. The page's header (GetPageHeader) is
// handed to PropertySheetW when the sheet runs; the page window exists only while the sheet
// shows it (pages are created when first selected). The handlers return TRUE to accept:
// OnSetActive FALSE keeps the page from being shown, OnKillActive FALSE keeps the user on the
// page, OnApply FALSE refuses the apply (and with it OK) and stays on the page. The defaults
// accept. User-interface thread only.
class CPropertyPage : public CDialog {
public:
    // A page without the help flag: the program has no help to offer.
    explicit CPropertyPage(UINT templateId);

    PROPSHEETPAGEW& GetPageHeader() { return m_psp; }
    // Enables the sheet's Apply button (TRUE) or takes this page's change back (FALSE).
    void SetModified(BOOL changed = TRUE);

protected:
    virtual BOOL OnSetActive() { return TRUE; }
    virtual BOOL OnKillActive() { return TRUE; }
    virtual BOOL OnApply() { return TRUE; }
    // Cancel, or the sheet closing without OK.
    virtual void OnReset() {}

    BOOL OnNotify(int id, NMHDR* header, LRESULT& result) override;
    // The sheet owns OK and Cancel; a page that got them must not end itself.
    void OnOK() override {}
    void OnCancel() override {}

private:
    static INT_PTR CALLBACK PageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    PROPSHEETPAGEW m_psp;
};
