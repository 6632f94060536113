// CRowImageCache: the results list's row images drawn once into a strip and copied from there.
#include "results/CRowImageCache_win.h"

BOOL CRowImageCache::Draw(HDC dc, HIMAGELIST images, int index, int x, int y, COLORREF background,
                          COLORREF cellColor) {
    if (images == nullptr || index < 0)
        return FALSE;
    if (!IsFor(images, background, cellColor) && !Build(dc, images, background, cellColor))
        return FALSE;
    if (index >= m_count)
        return FALSE;
    return ::BitBlt(dc, x, y, m_width, m_height, m_dc, index * m_width, 0, SRCCOPY);
}

void CRowImageCache::Reset() {
    if (m_dc != nullptr) {
        ::SelectObject(m_dc, m_oldBitmap);
        ::DeleteDC(m_dc);
    }
    if (m_bitmap != nullptr)
        ::DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_oldBitmap = nullptr;
    m_images = nullptr;
    m_count = 0;
}

bool CRowImageCache::IsFor(HIMAGELIST images, COLORREF background, COLORREF cellColor) const {
    int width = 0;
    int height = 0;
    return m_dc != nullptr && images == m_images && background == m_background &&
           cellColor == m_cellColor && ImageList_GetImageCount(images) == m_count &&
           ImageList_GetIconSize(images, &width, &height) && width == m_width && height == m_height;
}

bool CRowImageCache::Build(HDC dc, HIMAGELIST images, COLORREF background, COLORREF cellColor) {
    Reset();
    int count = ImageList_GetImageCount(images);
    int width = 0;
    int height = 0;
    if (count <= 0 || !ImageList_GetIconSize(images, &width, &height) || width <= 0 || height <= 0)
        return false;
    m_dc = ::CreateCompatibleDC(dc);
    m_bitmap = ::CreateCompatibleBitmap(dc, count * width, height);
    if (m_dc == nullptr || m_bitmap == nullptr) {
        Reset();
        return false;
    }
    m_oldBitmap = ::SelectObject(m_dc, m_bitmap);
    // The cell as the list view fills it before the image, then each image as it draws it.
    const RECT strip = {0, 0, count * width, height};
    const COLORREF old = ::SetBkColor(m_dc, cellColor);
    ::ExtTextOutW(m_dc, 0, 0, ETO_OPAQUE, &strip, nullptr, 0, nullptr);
    ::SetBkColor(m_dc, old);
    for (int i = 0; i < count; ++i) {
        if (!ImageList_DrawEx(images, i, m_dc, i * width, 0, width, height, background, CLR_DEFAULT,
                              ILD_NORMAL)) {
            Reset();
            return false;
        }
    }
    m_images = images;
    m_background = background;
    m_cellColor = cellColor;
    m_count = count;
    m_width = width;
    m_height = height;
    return true;
}
