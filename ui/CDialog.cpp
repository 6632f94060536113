// CDialog: modal and modeless creation and the message dispatch to the virtual handlers.
#include "ui/CDialog.h"

HINSTANCE CDialog::ms_instance = nullptr;

CDialog::~CDialog() {
    // A modeless dialog that its owner forgot to destroy must not call back into a dead object.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        if (!m_modal)
            ::DestroyWindow(m_hWnd);
    }
    m_hWnd = nullptr;
}

HINSTANCE CDialog::GetResourceInstance() {
    return ms_instance != nullptr ? ms_instance : ::GetModuleHandleW(nullptr);
}

INT_PTR CDialog::DoModal(HWND parent) {
    m_modal = true;
    LPARAM self = reinterpret_cast<LPARAM>(this);
    INT_PTR code = m_pMemoryTemplate != nullptr
                       ? ::DialogBoxIndirectParamW(GetResourceInstance(), m_pMemoryTemplate, parent,
                                                   &CDialog::DialogProc, self)
                       : ::DialogBoxParamW(GetResourceInstance(), MAKEINTRESOURCEW(m_templateId),
                                           parent, &CDialog::DialogProc, self);
    m_modal = false;
    return code;
}

BOOL CDialog::Create(HWND parent) {
    m_modal = false;
    LPARAM self = reinterpret_cast<LPARAM>(this);
    HWND hWnd = m_pMemoryTemplate != nullptr
                    ? ::CreateDialogIndirectParamW(GetResourceInstance(), m_pMemoryTemplate, parent,
                                                   &CDialog::DialogProc, self)
                    : ::CreateDialogParamW(GetResourceInstance(), MAKEINTRESOURCEW(m_templateId),
                                           parent, &CDialog::DialogProc, self);
    return hWnd != nullptr;
}

void CDialog::End(INT_PTR code) {
    if (m_modal)
        ::EndDialog(m_hWnd, code);
    else
        ::DestroyWindow(m_hWnd);
}

CString CDialog::GetItemText(int id) const {
    CWnd item(GetDlgItem(id));
    return item.GetWindowText();
}

BOOL CDialog::OnRegisteredMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return FALSE;
}

BOOL CDialog::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED)
        return FALSE;
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::OnNotify(int, NMHDR*, LRESULT&) {
    return FALSE;
}

BOOL CDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg >= 0xC000 && msg <= 0xFFFF)
        return OnRegisteredMessage(msg, wParam, lParam, result);

    // Reflection: a subclassed child handles its own notifications first.
    HWND child = nullptr;
    if (msg == WM_NOTIFY && lParam != 0)
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    else if (msg == WM_COMMAND && lParam != 0)
        child = reinterpret_cast<HWND>(lParam);
    if (CWnd* wnd = CWnd::FromHandlePermanent(child)) {
        if (wnd->OnChildNotify(msg, wParam, lParam, result))
            return TRUE;
    }

    switch (msg) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), result);
    case WM_TIMER:
        return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_SIZE:
        return OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_SIZING:
        if (OnSizing(static_cast<UINT>(wParam), reinterpret_cast<RECT*>(lParam))) {
            result = TRUE;
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON: {
        HCURSOR cursor = OnQueryDragIcon();
        result = reinterpret_cast<LRESULT>(cursor);
        return cursor != nullptr;
    }
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    default:
        return OnOtherMessage(msg, wParam, lParam, result);
    }
}

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
BOOL CDialog::ReturnsDirectly(UINT msg) {
    switch (msg) {
    case WM_INITDIALOG:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
    case WM_COMPAREITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (msg == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
        dialog->SubclassWindow(hWnd);
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    }
    return DispatchDialogMessage(dialog, hWnd, msg, wParam, lParam);
}

INT_PTR CDialog::DispatchDialogMessage(CDialog* dialog, HWND hWnd, UINT msg, WPARAM wParam,
                                       LPARAM lParam) {
    // Messages before WM_INITDIALOG (WM_SETFONT, WM_NCCREATE...) get the default processing.
    if (dialog == nullptr)
        return FALSE;

    LRESULT result = 0;
    BOOL handled = dialog->OnMessage(msg, wParam, lParam, result);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        dialog->m_hWnd = nullptr;
        return FALSE;
    }
    if (!handled)
        return FALSE;
    if (ReturnsDirectly(msg))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY && lParam != 0) {
        if (CWnd* child = CWnd::FromHandlePermanent(reinterpret_cast<NMHDR*>(lParam)->hwndFrom)) {
            LRESULT result = 0;
            if (child != this && child->OnChildNotify(msg, wParam, lParam, result))
                return result;
        }
    }
    return Default(msg, wParam, lParam);
}
