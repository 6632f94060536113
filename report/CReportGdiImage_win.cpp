// The pixels of a loaded bitmap or icon, read through GDI in the layout the report's tables take.
#include "report/CReportGdiImage_win.h"

namespace {

constexpr LONG kMaxBitmapBytes = 65536;

// The bitmap's header; FALSE for no bitmap or one without pixels.
BOOL QueryBitmap(HBITMAP bitmap, BITMAP& info) {
    return bitmap != nullptr && GetObjectW(bitmap, sizeof info, &info) == sizeof info &&
                   info.bmWidth > 0 && info.bmHeight > 0
               ? TRUE
               : FALSE;
}

} // namespace

BOOL CReportGdiImage::ReadColor(HBITMAP bitmap) {
    m_image = SHopwatchReportImage();
    BITMAP info;
    if (!QueryBitmap(bitmap, info))
        return FALSE;
    const LONG rowBytes = info.bmWidth * 4;
    const LONG bytes = rowBytes * info.bmHeight;
    if (info.bmWidth > kMaxBitmapBytes / 4 || bytes > kMaxBitmapBytes || !m_color.SetSize(bytes))
        return FALSE;
    if (info.bmBitsPixel == 32 && info.bmWidthBytes == rowBytes) {
        // A screen-compatible bitmap of 32 bits already is blue, green, red, unused.
        if (GetBitmapBits(bitmap, bytes, m_color.GetData()) != bytes)
            return FALSE;
    } else {
        // Any other depth is converted by the system to the same layout, top row first.
        BITMAPINFO request = {};
        request.bmiHeader.biSize = sizeof request.bmiHeader;
        request.bmiHeader.biWidth = info.bmWidth;
        request.bmiHeader.biHeight = -info.bmHeight;
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        const int lines = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight),
                                    m_color.GetData(), &request, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (lines != info.bmHeight)
            return FALSE;
    }
    m_image.width = info.bmWidth;
    m_image.height = info.bmHeight;
    m_image.bgrx = m_color.GetData();
    m_image.bgrxBytes = static_cast<std::size_t>(bytes);
    m_image.rowBytes = rowBytes;
    return TRUE;
}

BOOL CReportGdiImage::ReadMask(HBITMAP mask) {
    BITMAP info;
    if (!QueryBitmap(mask, info) || info.bmBitsPixel != 1 || info.bmWidth < m_image.width ||
        info.bmHeight < m_image.height)
        return FALSE;
    const LONG bytes = info.bmWidthBytes * m_image.height;
    if (bytes > kMaxBitmapBytes || !m_mask.SetSize(bytes) ||
        GetBitmapBits(mask, bytes, m_mask.GetData()) != bytes)
        return FALSE;
    m_image.mask = m_mask.GetData();
    m_image.maskBytes = static_cast<std::size_t>(bytes);
    m_image.maskRowBytes = info.bmWidthBytes;
    return TRUE;
}

BOOL CReportGdiImage::ReadBitmap(HBITMAP bitmap) {
    return ReadColor(bitmap);
}

BOOL CReportGdiImage::ReadIcon(HICON icon) {
    m_image = SHopwatchReportImage();
    ICONINFO parts;
    if (icon == nullptr || !GetIconInfo(icon, &parts))
        return FALSE;
    // A monochrome icon keeps both planes in a mask of twice the height; the report draws
    // colour icons only.
    BOOL ok = parts.hbmColor != nullptr && ReadColor(parts.hbmColor) && ReadMask(parts.hbmMask);
    if (!ok)
        m_image = SHopwatchReportImage();
    if (parts.hbmColor != nullptr)
        DeleteObject(parts.hbmColor);
    if (parts.hbmMask != nullptr)
        DeleteObject(parts.hbmMask);
    return ok;
}
