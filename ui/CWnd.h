// CWnd: a non-owning window handle with one-line members and optional subclassing.
#pragma once

#include <windows.h>

#include "foundation/base_types.h"

// Wraps an HWND it does not own: destroying a CWnd never destroys the window. A CWnd may subclass
// its window (SubclassWindow / SubclassDlgItem) so that the window's messages reach the virtual
// WindowProc first; Default hands a message on to the window's original procedure. The subclass
// is removed by UnsubclassWindow, by the destructor, or when the window is destroyed. A parent
// CDialog offers WM_NOTIFY and WM_COMMAND of a subclassed child to the child's OnChildNotify
// first (reflection), so a control can handle its own notifications such as custom draw.
// User-interface thread only.
class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    // Takes a handle without subclassing; a subclassed window must be unsubclassed first.
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach();

    // ---- Subclassing ----
    // FALSE when the handle is null, already subclassed by another CWnd, or the procedure cannot
    // be replaced.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }
    // Restores the original procedure; returns the handle (nullptr when not subclassed).
    HWND UnsubclassWindow();
    BOOL IsSubclassed() const { return m_oldProc != nullptr; }
    // The CWnd that subclassed the window, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // ---- One-line members ----
    BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
        return ::SendMessageW(m_hWnd, msg, w, l);
    }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
        return ::PostMessageW(m_hWnd, msg, w, l);
    }
    void SetWindowText(const CString& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
    CString GetWindowText() const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int show) { return ::ShowWindow(m_hWnd, show); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const {
        return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
    }
    BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
    BOOL GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect); }
    void ScreenToClient(RECT* rect) const {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
    }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE) {
        return ::InvalidateRect(m_hWnd, rect, erase);
    }
    BOOL ValidateRect(const RECT* rect) { return ::ValidateRect(m_hWnd, rect); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(const RECT* rect, HRGN region, UINT flags) {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, BOOL redraw = TRUE) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    HICON SetIcon(HICON icon, BOOL big) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const {
        return ::GetWindowPlacement(m_hWnd, placement);
    }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) {
        return ::SetWindowPlacement(m_hWnd, placement);
    }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    // The window's dots per inch (96 is 100 %): its monitor's where the system tells it per
    // window, else the screen's.
    UINT GetDpi() const;

    HWND m_hWnd = nullptr;

protected:
    // Messages of a subclassed window arrive here; the default hands them to Default.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The window's original procedure (DefWindowProc when not subclassed).
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
    // A notification (WM_NOTIFY or WM_COMMAND) that the parent dialog reflects to this control.
    // Return TRUE with result set when handled; the default handles nothing.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    friend class CDialog;

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    WNDPROC m_oldProc = nullptr;
};
