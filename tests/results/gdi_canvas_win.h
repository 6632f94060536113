// Test helpers for drawing code: a memory DC over a 32-bit bitmap whose pixels can be read back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>

#include "ui/CDC.h"

// A width x height canvas, first filled with a marker colour, so that a test sees exactly which
// pixels the code under test painted.
class CGdiCanvas {
public:
    CGdiCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
        HDC screen = ::GetDC(nullptr);
        m_dc.m_hDC = ::CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ::ReleaseDC(nullptr, screen);
        m_old = ::SelectObject(m_dc, m_bitmap);
        m_dc.FillSolidRect(0, 0, width, height, fill);
    }
    ~CGdiCanvas() {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc.m_hDC);
    }
    CGdiCanvas(const CGdiCanvas&) = delete;
    CGdiCanvas& operator=(const CGdiCanvas&) = delete;

    CDC& GetDC() { return m_dc; }
    bool IsValid() const { return m_bitmap != nullptr && m_dc.m_hDC != nullptr; }
    COLORREF At(int x, int y) const { return m_dc.GetPixel(x, y); }
    // How many pixels of the rectangle have each colour.
    std::map<COLORREF, int> Colors(const RECT& r) const {
        std::map<COLORREF, int> colors;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                ++colors[At(x, y)];
        return colors;
    }
    std::map<COLORREF, int> Colors() const { return Colors(RECT{0, 0, m_width, m_height}); }

private:
    int m_width;
    int m_height;
    CDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The parent of the controls under test: one visible top-level window per test process, created
// on first use and never destroyed (under Wine without a window manager, destroying a top-level
// window waits for the X server for a while). While a notify handler is set, WM_NOTIFY from a
// child goes to it, the way the program's dialogs reflect notifications to their controls.
using TestNotifyHandler = std::function<bool(NMHDR* header, LRESULT& result)>;
inline TestNotifyHandler& TestHostNotifyHandler() {
    static TestNotifyHandler handler;
    return handler;
}
inline LRESULT CALLBACK TestHostProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY && TestHostNotifyHandler()) {
        LRESULT result = 0;
        if (TestHostNotifyHandler()(reinterpret_cast<NMHDR*>(lParam), result))
            return result;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}
inline HWND TestHostWindow() {
    static HWND host = [] {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&icc);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &TestHostProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HopwatchTestHost";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        ::RegisterClassW(&wc);
        return ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"test", WS_POPUP | WS_VISIBLE,
                                 0, 0, 800, 600, nullptr, nullptr, wc.hInstance, nullptr);
    }();
    return host;
}

// Dispatches the messages waiting for this thread, at most limit of them, without waiting.
inline void PumpMessages(int limit = 1000) {
    MSG msg;
    while (limit-- > 0 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The part of a window waiting to be painted is not empty.
inline bool HasUpdate(HWND hWnd) {
    return ::GetUpdateRect(hWnd, nullptr, FALSE) != FALSE;
}
