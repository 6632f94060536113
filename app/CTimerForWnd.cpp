// CTimerForWnd: one window timer tied to one window, killed exactly once.
#include "app/CTimerForWnd.h"

CTimerForWnd::~CTimerForWnd() {
    Detach();
}

BOOL CTimerForWnd::Attach(HWND window, UINT elapseMs) {
    Detach();
    if (window == nullptr)
        return FALSE;
    UINT_PTR id = ::SetTimer(window, reinterpret_cast<UINT_PTR>(this), elapseMs, nullptr);
    if (id == 0)
        return FALSE;
    m_window = window;
    m_timerId = id;
    return TRUE;
}

void CTimerForWnd::Detach() {
    if (m_window == nullptr)
        return;
    HWND window = m_window;
    m_window = nullptr;
    if (::IsWindow(window))
        ::KillTimer(window, m_timerId);
}
