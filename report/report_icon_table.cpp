// A bitmap drawn as an HTML table of one-pixel cells in the 16 palette colours.
#include "report/report_icon_table.h"

#include "report/report_html.h"

namespace {

// The buffers cover every pixel the image claims to have.
bool PixelsCover(const SHopwatchReportImage& image, bool useMask) {
    if (image.bgrx == nullptr || image.width <= 0 || image.height <= 0)
        return false;
    const std::size_t rows = static_cast<std::size_t>(image.height);
    if (image.rowBytes < image.width * 4 ||
        image.bgrxBytes < rows * static_cast<std::size_t>(image.rowBytes))
        return false;
    if (!useMask)
        return true;
    return image.maskRowBytes * 8 >= image.width &&
           image.maskBytes >= rows * static_cast<std::size_t>(image.maskRowBytes);
}

} // namespace

BOOL AppendImageTable(CString& out, const SHopwatchReportImage& image, BOOL useMask, int index) {
    const bool withMask = useMask && image.mask != nullptr;
    if (!PixelsCover(image, withMask))
        return FALSE;
    const int size = image.height;
    if (index < 0 || index >= image.width / size)
        return FALSE;
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    CString table = L"<table class=\"tbi\">\r\n";
    // Each cell is 24 characters; reserving once keeps the copy per pixel cheap.
    table.reserve(table.size() + static_cast<std::size_t>(size) * (size * 24 + 7) + 10);
    for (int y = 0; y < size; ++y) {
        table += L"<tr>";
        const BYTE* row = image.bgrx + static_cast<std::size_t>(y) * image.rowBytes;
        for (int x = index * size; x < (index + 1) * size; ++x) {
            table += L"<td class=\"tdi";
            const bool transparent =
                withMask && (image.mask[static_cast<std::size_t>(y) * image.maskRowBytes + x / 8] &
                             (0x80 >> (x % 8))) != 0;
            if (transparent) {
                table += L'T';
            } else {
                const BYTE* pixel = row + static_cast<std::size_t>(x) * 4;
                table += kHex[NearestPaletteIndex(pixel[2], pixel[1], pixel[0])];
            }
            table += L"\"></td>";
        }
        table += L"</tr>\r\n";
    }
    table += L"</table>\r\n";
    out += table;
    return TRUE;
}
