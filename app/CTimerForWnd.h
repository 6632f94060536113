// CTimerForWnd: one window timer tied to one window, killed exactly once.
#pragma once

#include <windows.h>

// The timer's id is the address of this object, so it cannot collide with another timer of the
// same window. The owner's WM_TIMER handler accepts an event only through IsTimerEvent. The
// window is not owned. User-interface thread only.
class CTimerForWnd {
public:
    CTimerForWnd() = default;
    // Detaches (killing the timer if the window still exists).
    virtual ~CTimerForWnd();
    CTimerForWnd(const CTimerForWnd&) = delete;
    CTimerForWnd& operator=(const CTimerForWnd&) = delete;

    // Detaches from any window first, then starts a timer of elapseMs on window. FALSE when the
    // timer could not be started (the object is then detached).
    BOOL Attach(HWND window, UINT elapseMs);
    // Forgets the window and kills its timer when the window still exists. Safe to call twice.
    void Detach();

    BOOL IsAttached() const { return m_window != nullptr; }
    HWND GetWindow() const { return m_window; }
    UINT_PTR GetTimerId() const { return m_timerId; }
    // Whether a WM_TIMER with this id is this object's event.
    BOOL IsTimerEvent(UINT_PTR id) const { return m_window != nullptr && id == m_timerId; }

    // Hook for derived timers; nothing calls it.
    virtual void OnTimer(DWORD, DWORD) {}

private:
    HWND m_window = nullptr;
    UINT_PTR m_timerId = 0;
};
