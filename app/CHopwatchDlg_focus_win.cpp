// CHopwatchDlg: the keyboard focus never stays in a control that a state change disables or hides.
#include "app/CHopwatchDlg.h"

void CHopwatchDlg::EnableControl(CWnd& control, BOOL enable) {
    if (!enable)
        MoveFocusFrom(control);
    control.EnableWindow(enable);
}

void CHopwatchDlg::ShowControl(CWnd& control, BOOL show) {
    if (!show)
        MoveFocusFrom(control);
    control.ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CHopwatchDlg::MoveFocusFrom(const CWnd& control) {
    // A disabled or hidden control cannot have the focus; asking the system where the focus is
    // costs a round trip on some platforms, and this runs for Export at every refresh.
    if (!control.IsWindowEnabled() || (control.GetStyle() & WS_VISIBLE) == 0)
        return;
    if (!HasFocus(control))
        return;
    bool toStart = &control != &m_startButton && m_startButton.IsWindowEnabled() &&
                   (m_startButton.GetStyle() & WS_VISIBLE) != 0;
    GotoDlgCtrl(toStart ? m_startButton : m_resultsList);
    m_focusParked = toStart ? FALSE : TRUE;
}

bool CHopwatchDlg::HasFocus(const CWnd& control) const {
    HWND focus = ::GetFocus();
    return focus != nullptr && (focus == control.m_hWnd || ::IsChild(control, focus));
}

void CHopwatchDlg::ReturnParkedFocus() {
    if (!m_focusParked || !m_startButton.IsWindowEnabled())
        return;
    // While the window is inactive the focus is in none of its controls: the return waits for
    // the window's reactivation.
    HWND focus = ::GetFocus();
    if (focus == nullptr || !::IsChild(m_hWnd, focus))
        return;
    m_focusParked = FALSE;
    // Unless the user has moved it on since.
    if (focus == m_resultsList.m_hWnd)
        GotoDlgCtrl(m_startButton);
}

void CHopwatchDlg::SettleFocusOnActivation() {
    // The dialog manager has put the focus back on the control that had it when the window was
    // left (or failed to, and left it on the dialog); a state change since may have disabled or
    // hidden that control.
    HWND control = ::GetFocus();
    while (control != nullptr && ::GetParent(control) != m_hWnd)
        control = ::GetParent(control);
    if (control != nullptr && ::IsWindowEnabled(control) && ::IsWindowVisible(control)) {
        ReturnParkedFocus();
        return;
    }
    bool toStart = m_startButton.IsWindowEnabled() && (m_startButton.GetStyle() & WS_VISIBLE) != 0;
    GotoDlgCtrl(toStart ? m_startButton : m_resultsList);
    m_focusParked = toStart ? FALSE : TRUE;
}

LRESULT CHopwatchDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CDialog::WindowProc(msg, wParam, lParam);
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0)
        SettleFocusOnActivation();
    return result;
}
