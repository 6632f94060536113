// CDibSection: a 32-bit top-down bitmap in its own memory DC whose pixels code writes directly.
#include "ui/CDibSection.h"

BOOL CDibSection::Reserve(HDC dc, int width, int height) {
    if (width <= 0 || height <= 0)
        return FALSE;
    if (m_dc != nullptr && width <= m_width && height <= m_height)
        return TRUE;
    // Grown a little beyond what is asked, so that a column widened pixel by pixel does not
    // make a new bitmap each time.
    return Create(dc, width > m_width ? width + width / 4 : m_width,
                  height > m_height ? height + height / 4 : m_height);
}

BOOL CDibSection::Fit(HDC dc, int width, int height) {
    if (width <= 0 || height <= 0)
        return FALSE;
    if (m_dc != nullptr && width == m_width && height == m_height)
        return TRUE;
    return Create(dc, width, height);
}

BOOL CDibSection::Create(HDC dc, int width, int height) {
    Destroy();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = ::CreateCompatibleDC(dc);
    m_bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (m_dc == nullptr || m_bitmap == nullptr || bits == nullptr) {
        Destroy();
        return FALSE;
    }
    m_oldBitmap = ::SelectObject(m_dc, m_bitmap);
    m_bits = static_cast<std::uint32_t*>(bits);
    m_width = width;
    m_height = height;
    return TRUE;
}

void CDibSection::Destroy() {
    if (m_dc != nullptr) {
        if (m_oldBitmap != nullptr)
            ::SelectObject(m_dc, m_oldBitmap);
        ::DeleteDC(m_dc);
    }
    if (m_bitmap != nullptr)
        ::DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_oldBitmap = nullptr;
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
}
