// CImageList: an image strip scaled to another size before it becomes an image list.
#include "ui/CImageList.h"

BOOL CImageList::CreateScaled(HINSTANCE instance, UINT bitmapId, int width, int grow, COLORREF mask,
                              int scaledWidth) {
    if (scaledWidth == width || width <= 0 || scaledWidth <= 0)
        return Create(instance, bitmapId, width, grow, mask);
    Destroy();
    HBITMAP strip = static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(bitmapId),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (strip == nullptr)
        return FALSE;
    BITMAP info = {};
    ::GetObjectW(strip, sizeof(info), &info);
    const int count = info.bmWidth / width;
    HDC screen = ::GetDC(nullptr);
    HDC from = ::CreateCompatibleDC(screen);
    HDC to = ::CreateCompatibleDC(screen);
    HBITMAP scaled = ::CreateCompatibleBitmap(screen, count * scaledWidth, scaledWidth);
    ::ReleaseDC(nullptr, screen);
    BOOL ok = count > 0 && from != nullptr && to != nullptr && scaled != nullptr;
    if (ok) {
        HGDIOBJ oldFrom = ::SelectObject(from, strip);
        HGDIOBJ oldTo = ::SelectObject(to, scaled);
        ::SetStretchBltMode(to, COLORONCOLOR);
        ok = ::StretchBlt(to, 0, 0, count * scaledWidth, scaledWidth, from, 0, 0, count * width,
                          info.bmHeight, SRCCOPY);
        ::SelectObject(from, oldFrom);
        ::SelectObject(to, oldTo);
    }
    if (ok) {
        m_list = ImageList_Create(scaledWidth, scaledWidth, ILC_COLOR24 | ILC_MASK, count, grow);
        ok = m_list != nullptr && ImageList_AddMasked(m_list, scaled, mask) >= 0;
        if (!ok)
            Destroy();
    }
    if (scaled != nullptr)
        ::DeleteObject(scaled);
    if (to != nullptr)
        ::DeleteDC(to);
    if (from != nullptr)
        ::DeleteDC(from);
    ::DeleteObject(strip);
    return ok;
}
