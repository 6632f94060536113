// CWnd: window text, subclassing and the subclass procedure.
#include "ui/CWnd.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {
// Which CWnd subclassed which window. A window property would be the obvious place, but reading
// one is a round trip to the window system on some platforms, on every message; a program has
// only a handful of subclassed windows, so a short table is looked up instead.
struct SSubclassTable {
    std::mutex lock;
    std::vector<std::pair<HWND, CWnd*>> entries;
};
SSubclassTable& Table() {
    static SSubclassTable table;
    return table;
}
CWnd* Find(HWND hWnd) {
    SSubclassTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    for (const auto& entry : table.entries) {
        if (entry.first == hWnd)
            return entry.second;
    }
    return nullptr;
}
bool Add(HWND hWnd, CWnd* wnd) {
    SSubclassTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    for (const auto& entry : table.entries) {
        if (entry.first == hWnd)
            return false;
    }
    table.entries.emplace_back(hWnd, wnd);
    return true;
}
void Remove(HWND hWnd) {
    SSubclassTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    for (size_t i = 0; i < table.entries.size(); ++i) {
        if (table.entries[i].first == hWnd) {
            table.entries.erase(table.entries.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}
} // namespace

CWnd::~CWnd() {
    UnsubclassWindow();
}

HWND CWnd::Detach() {
    UnsubclassWindow();
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    return hWnd;
}

CString CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0)
        return CString();
    CString text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (hWnd == nullptr || m_oldProc != nullptr || !Add(hWnd, this))
        return FALSE;
    m_hWnd = hWnd;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (old == nullptr) {
        Remove(hWnd);
        return FALSE;
    }
    m_oldProc = old;
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_oldProc == nullptr)
        return nullptr;
    if (::IsWindow(m_hWnd))
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    Remove(m_hWnd);
    m_oldProc = nullptr;
    return m_hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    return hWnd ? Find(hWnd) : nullptr;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Default(msg, wParam, lParam);
}

LRESULT CWnd::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_oldProc != nullptr)
        return ::CallWindowProcW(m_oldProc, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

UINT CWnd::GetDpi() const {
    // GetDpiForWindow exists from Windows 10 on; the program also runs where it does not.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && m_hWnd != nullptr) {
        UINT dpi = getDpiForWindow(m_hWnd);
        if (dpi != 0)
            return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) {
    return FALSE;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr)
        return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // The window goes away: hand the last message to the original procedure and forget it.
        WNDPROC old = wnd->m_oldProc;
        wnd->UnsubclassWindow();
        wnd->m_hWnd = nullptr;
        return ::CallWindowProcW(old, hWnd, msg, wParam, lParam);
    }
    return wnd->WindowProc(msg, wParam, lParam);
}
