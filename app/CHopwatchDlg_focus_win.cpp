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
    m_focusParked = FALSE;
    // Unless the user has moved it on since.
    if (::GetFocus() == m_resultsList.m_hWnd)
        GotoDlgCtrl(m_startButton);
}
