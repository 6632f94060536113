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
    return ::BitBlt(dc, x, y, m_width, m_height, m_strip.GetSafeHdc(), index * m_width, 0, SRCCOPY);
}

void CRowImageCache::Reset() {
    m_images = nullptr;
    m_count = 0;
}

bool CRowImageCache::IsFor(HIMAGELIST images, COLORREF background, COLORREF cellColor) const {
    int width = 0;
    int height = 0;
    return m_images != nullptr && images == m_images && background == m_background &&
           cellColor == m_cellColor && ImageList_GetImageCount(images) == m_count &&
           ImageList_GetIconSize(images, &width, &height) && width == m_width && height == m_height;
}

bool CRowImageCache::Build(HDC dc, HIMAGELIST images, COLORREF background, COLORREF cellColor) {
    Reset();
    int count = ImageList_GetImageCount(images);
    int width = 0;
    int height = 0;
    if (count <= 0 || !ImageList_GetIconSize(images, &width, &height) || width <= 0 ||
        height <= 0 || !m_strip.Reserve(dc, count * width, height))
        return false;
    HDC strip = m_strip.GetSafeHdc();
    // The cell as the list view fills it before the image, then each image as it draws it.
    const RECT cells = {0, 0, count * width, height};
    const COLORREF old = ::SetBkColor(strip, cellColor);
    ::ExtTextOutW(strip, 0, 0, ETO_OPAQUE, &cells, nullptr, 0, nullptr);
    ::SetBkColor(strip, old);
    for (int i = 0; i < count; ++i) {
        if (!ImageList_DrawEx(images, i, strip, i * width, 0, width, height, background,
                              CLR_DEFAULT, ILD_NORMAL))
            return false;
    }
    m_images = images;
    m_background = background;
    m_cellColor = cellColor;
    m_count = count;
    m_width = width;
    m_height = height;
    return true;
}
