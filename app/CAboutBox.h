// CAboutBox: the About dialog from a template built into the program, sized to fit its text.
#pragma once

#include <windows.h>

#include "app/CResizableControls.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/CNVersionInfo.h"
#include "ui/CButton.h"
#include "ui/CDialog.h"
#include "ui/CEdit.h"

// Caption and body come from the version information given at construction (the program's own
// by default): "About <internal name>", then product, build kind and version, company, copyright,
// comments and the build date. The read-only body edit is coloured like an ordinary window.
// User-interface thread only.
class CAboutBox : public CDialog {
public:
    static constexpr int kIconId = 1029;
    static constexpr int kBodyId = 1007;

    explicit CAboutBox(HWND parent, const CNVersionInfo* version = nullptr);
    ~CAboutBox() override;

    INT_PTR DoModal() { return CDialog::DoModal(m_parent); }
    BOOL Create() { return CDialog::Create(m_parent); }
    const CString& GetCaption() const { return m_strCaption; }
    const CString& GetBody() const { return m_strBody; }

    // The in-program dialog template: "About", Tahoma 8, 236 x 81 dialog units, OK, icon, body.
    static const DLGTEMPLATE* GetTemplate();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSize(UINT type, int width, int height) override;
    BOOL OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Resizes the dialog so that the body edit's client area fits the body text.
    void FitToText();

    HWND m_parent;
    HICON m_hLargeIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    CString m_strCaption;
    CString m_strBody;
    COLORREF m_textColor;
    COLORREF m_backColor;
    HBRUSH m_hBackBrush = nullptr;
    CNTimeStamp m_buildDate;
    CResizableControls m_layout;
    CEdit m_body;
    CButton m_ok;
};
