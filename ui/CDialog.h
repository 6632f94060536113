// CDialog: a dialog from a resource template whose messages go to virtual handlers.
#pragma once

#include <windows.h>

#include "ui/CWnd.h"

// Runs a dialog template modally (DoModal) or modeless (Create, used by tests). The dialog keeps
// `this` in the window's user data from WM_INITDIALOG on. Each message goes first to
// OnRegisteredMessage when it is a registered message (0xC000..0xFFFF), then through one switch
// to the virtual handlers below; a handler returns TRUE when it handled the message, FALSE for
// the dialog manager's default processing. Before the switch, WM_NOTIFY and WM_COMMAND from a
// subclassed child are offered to that child (CWnd::OnChildNotify). User-interface thread only.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    // A dialog from a template built in memory (DLGTEMPLATE, DWORD-aligned), which must outlive
    // the dialog's creation.
    explicit CDialog(const DLGTEMPLATE* memoryTemplate)
        : m_templateId(0), m_pMemoryTemplate(memoryTemplate) {}
    ~CDialog() override;

    // Runs the dialog until End; returns End's code, or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless (not shown unless its template says WS_VISIBLE). FALSE when it
    // could not be created. The caller pumps messages and calls DestroyWindow (or End) itself.
    BOOL Create(HWND parent = nullptr);
    // Ends a modal dialog with code, or destroys a modeless one.
    void End(INT_PTR code);
    BOOL IsModal() const { return m_modal; }
    UINT GetTemplateId() const { return m_templateId; }

    // ---- Helpers over the dialog's items ----
    BOOL EnableItem(int id, BOOL enable) { return ::EnableWindow(GetDlgItem(id), enable); }
    BOOL ShowItem(int id, int show) { return ::ShowWindow(GetDlgItem(id), show); }
    void SetItemText(int id, const CString& text) { ::SetDlgItemTextW(m_hWnd, id, text.c_str()); }
    CString GetItemText(int id) const;
    // Moves the keyboard focus to control as the dialog's own navigation does (WM_NEXTDLGCTL):
    // the default button follows and an edit's text is selected.
    void GotoDlgCtrl(HWND control) {
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }

    // The module whose resources the dialogs are loaded from (the process's .exe by default).
    static void SetResourceInstance(HINSTANCE instance) { ms_instance = instance; }
    static HINSTANCE GetResourceInstance();

protected:
    // The whole dispatch; derived classes override the handlers rather than this.
    virtual BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    virtual BOOL OnRegisteredMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // TRUE lets the dialog manager give the focus to the first control.
    virtual BOOL OnInitDialog() { return TRUE; }
    // BN_CLICKED etc. The default maps IDOK and IDCANCEL to OnOK and OnCancel.
    virtual BOOL OnCommand(WORD id, WORD code, HWND control);
    virtual BOOL OnNotify(int id, NMHDR* header, LRESULT& result);
    virtual BOOL OnTimer(UINT_PTR id) { return FALSE; }
    virtual BOOL OnSize(UINT type, int width, int height) { return FALSE; }
    virtual BOOL OnSizing(UINT edge, RECT* rect) { return FALSE; }
    virtual BOOL OnSysCommand(UINT command, LPARAM lParam) { return FALSE; }
    virtual BOOL OnPaint() { return FALSE; }
    // A cursor or icon for WM_QUERYDRAGICON; nullptr for the default.
    virtual HCURSOR OnQueryDragIcon() { return nullptr; }
    // WM_DESTROY; the window still exists.
    virtual void OnDestroy() {}
    // Any other message; FALSE for default processing.
    virtual BOOL OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return FALSE;
    }
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }

    // The dialog procedure's work once the dialog object is known: dispatch and the result
    // convention of dialog procedures. Shared with dialogs created by others (property pages).
    static INT_PTR DispatchDialogMessage(CDialog* dialog, HWND hWnd, UINT msg, WPARAM wParam,
                                         LPARAM lParam);

    // The dialog's own window, subclassed when it is created: a notification that a subclassed
    // child answers itself (custom draw, display texts) is answered here, directly. Through the
    // dialog procedure every answer would be stored in the dialog's result slot, a round trip
    // to the window system on some platforms for each cell the list view draws.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static BOOL ReturnsDirectly(UINT msg);

    UINT m_templateId;
    const DLGTEMPLATE* m_pMemoryTemplate = nullptr;
    bool m_modal = false;
    static HINSTANCE ms_instance;
};
