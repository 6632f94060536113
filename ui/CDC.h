// CDC: device context wrappers: a non-owning CDC, a select-object guard, paint and client DCs.
#pragma once

#include <windows.h>

#include "foundation/base_types.h"

// Usage: drawing code takes a CDC& and calls its one-line members; the handle is not owned, so a
// CDC built over a custom-draw notification's hdc never releases it. A window's WM_PAINT handler
// builds a CPaintDC over its window (BeginPaint/EndPaint); code outside WM_PAINT, such as a test
// reading pixels back, uses a CClientDC. CSelectObject puts an object into a DC for one scope and
// the previous one back at its end. User-interface thread only.
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    int GetClipBox(RECT* rect) const { return ::GetClipBox(m_hDC, rect); }
    int IntersectClipRect(const RECT& rect) {
        return ::IntersectClipRect(m_hDC, rect.left, rect.top, rect.right, rect.bottom);
    }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    BOOL BitBlt(int x, int y, int width, int height, HDC source, int xSource, int ySource,
                DWORD rop) {
        return ::BitBlt(m_hDC, x, y, width, height, source, xSource, ySource, rop);
    }
    // Fills a rectangle with a colour without creating a brush: an opaque ExtTextOut of no text
    // paints its rectangle in the background colour, which is then put back.
    void FillSolidRect(const RECT& rect, COLORREF color) {
        COLORREF old = ::SetBkColor(m_hDC, color);
        ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
        ::SetBkColor(m_hDC, old);
    }
    void FillSolidRect(int left, int top, int width, int height, COLORREF color) {
        RECT rect = {left, top, left + width, top + height};
        FillSolidRect(rect, color);
    }
    int DrawText(const CString& text, RECT* rect, UINT format) {
        return ::DrawTextW(m_hDC, text.c_str(), static_cast<int>(text.size()), rect, format);
    }

    HDC m_hDC = nullptr;
};

// Selects an object into a DC and selects the previous one back when the scope ends. A null
// object selects nothing.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ object)
        : m_hDC(hDC), m_old(object != nullptr ? ::SelectObject(hDC, object) : nullptr) {}
    ~CSelectObject() {
        if (m_old != nullptr && m_old != HGDI_ERROR)
            ::SelectObject(m_hDC, m_old);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_old;
};

// The DC of a WM_PAINT: BeginPaint on construction (which also validates the update region),
// EndPaint on destruction.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }

    const RECT& GetPaintRect() const { return m_ps.rcPaint; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps = {};
};

// A window's client-area DC outside WM_PAINT (GetDC/ReleaseDC).
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC() override {
        if (m_hDC != nullptr)
            ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};
