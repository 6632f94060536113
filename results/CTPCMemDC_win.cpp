// CTPCMemDC: an off-screen DC that composes a picture and copies it to its target in one step.
#include "results/CTPCMemDC_win.h"

CTPCMemDC::CTPCMemDC(CDC& target) : m_target(target) {
    target.GetClipBox(&m_rect);
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    if (target.GetDeviceCaps(TECHNOLOGY) != DT_RASPRINTER && width > 0 && height > 0) {
        HDC mem = ::CreateCompatibleDC(target);
        HBITMAP bitmap = mem != nullptr ? ::CreateCompatibleBitmap(target, width, height) : nullptr;
        if (bitmap != nullptr) {
            m_hDC = mem;
            m_bitmap = bitmap;
            m_oldBitmap = ::SelectObject(mem, bitmap);
            // Same coordinates as the target: the bitmap's origin is the clip box's corner.
            ::SetWindowOrgEx(mem, m_rect.left, m_rect.top, nullptr);
            m_bMemDC = TRUE;
            return;
        }
        if (mem != nullptr)
            ::DeleteDC(mem);
    }
    m_hDC = target.GetSafeHdc();
}

CTPCMemDC::~CTPCMemDC() {
    if (!m_bMemDC)
        return;
    m_target.BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
                    m_hDC, m_rect.left, m_rect.top, SRCCOPY);
    ::SelectObject(m_hDC, m_oldBitmap);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_hDC);
    m_hDC = nullptr;
}
