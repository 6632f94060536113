// The report's Windows readers: pixels of bitmaps and icons through GDI, the list view's snapshot.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "hopwatch_image_pixels.h"
#include "report/CReportGdiImage_win.h"
#include "report/report_builtin_images.h"
#include "report/report_document.h"
#include "report/report_icon_table.h"
#include "report/report_list_control_win.h"
#include "results/CHopwatchMemoryList.h"

namespace {

// The same colour of every pixel (the unused fourth byte may differ).
bool SameColors(const SHopwatchReportImage& a, const SHopwatchReportImage& b) {
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (std::memcmp(a.bgrx + y * a.rowBytes + x * 4, b.bgrx + y * b.rowBytes + x * 4, 3))
                return false;
    return true;
}

CString Table(const SHopwatchReportImage& image, BOOL mask, int index) {
    CString table;
    EXPECT_TRUE(AppendImageTable(table, image, mask, index));
    return table;
}

} // namespace

TEST(ReportGdiImage, ScreenBitmapReadsBackAsTheGeneratedPixels) {
    const SHopwatchImagePixels& strip = g_rowImageStripPixels;
    HBITMAP bitmap = CreateBitmap(strip.width, strip.height, 1, 32, strip.bgrx);
    ASSERT_NE(bitmap, nullptr);
    CReportGdiImage image;
    ASSERT_TRUE(image.ReadBitmap(bitmap));
    DeleteObject(bitmap);
    EXPECT_EQ(image.GetImage().mask, nullptr);
    EXPECT_TRUE(SameColors(image.GetImage(), BuiltInRowImagePixels()));
    EXPECT_EQ(Table(image.GetImage(), FALSE, 3), Table(BuiltInRowImagePixels(), FALSE, 3));
}

TEST(ReportGdiImage, BitmapsOfOtherDepthsAreConvertedToTheSameLayout) {
    const SHopwatchReportImage source = BuiltInRowImagePixels();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = source.width;
    info.bmiHeader.biHeight = -source.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    const int stride = (source.width * 3 + 3) / 4 * 4;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            std::memcpy(static_cast<BYTE*>(bits) + y * stride + x * 3,
                        source.bgrx + y * source.rowBytes + x * 4, 3);
    CReportGdiImage image;
    ASSERT_TRUE(image.ReadBitmap(bitmap));
    DeleteObject(bitmap);
    EXPECT_TRUE(SameColors(image.GetImage(), source));
    EXPECT_FALSE(image.ReadBitmap(nullptr));
    EXPECT_EQ(image.GetImage().bgrx, nullptr);
}

TEST(ReportGdiImage, IconReadsItsColoursAndItsMask) {
    const SHopwatchImagePixels& icon = g_programIconPixels;
    ICONINFO parts = {};
    parts.fIcon = TRUE;
    parts.hbmColor = CreateBitmap(icon.width, icon.height, 1, 32, icon.bgrx);
    parts.hbmMask = CreateBitmap(icon.width, icon.height, 1, 1, icon.mask);
    HICON handle = CreateIconIndirect(&parts);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    ASSERT_NE(handle, nullptr);
    CReportGdiImage image;
    ASSERT_TRUE(image.ReadIcon(handle));
    DestroyIcon(handle);
    ASSERT_NE(image.GetImage().mask, nullptr);
    const CString table = Table(image.GetImage(), TRUE, 0);
    EXPECT_EQ(table, Table(BuiltInProgramIconPixels(), TRUE, 0));
    EXPECT_NE(table.find(L"tdiT"), CString::npos);
    EXPECT_FALSE(image.ReadIcon(nullptr));
}

TEST(ReportListControl, SnapshotReadsHeadersTextsImagesAndTheRowStoresColours) {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 600, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    static const struct {
        const wchar_t* text;
        int format;
    } kColumns[] = {{L"TTL", LVCFMT_LEFT},
                    {L"a <b> & c", LVCFMT_LEFT},
                    {L"Loss", LVCFMT_RIGHT},
                    {L"Note", LVCFMT_CENTER}};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.fmt = kColumns[c].format;
        column.cx = 80;
        column.pszText = const_cast<wchar_t*>(kColumns[c].text);
        ASSERT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column)), c);
    }
    const CString longName(700, L'n');
    const wchar_t* const kTexts[3][4] = {{L"1", L"192.0.2.1", L"0%", L""},
                                         {L"2", longName.c_str(), L"50%", L"note"},
                                         {L"", L"  198.51.100.7", L"", L"a <b> & c"}};
    const int kImages[3] = {0, 3, I_IMAGENONE};
    for (int r = 0; r < 3; ++r) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = r;
        item.iImage = kImages[r];
        item.pszText = const_cast<wchar_t*>(kTexts[r][0]);
        ASSERT_EQ(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), r);
        for (int c = 1; c < 4; ++c) {
            LVITEMW cell = {};
            cell.iSubItem = c;
            cell.pszText = const_cast<wchar_t*>(kTexts[r][c]);
            SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&cell));
        }
    }
    // The colours live in the list's own row store, which has entries for two rows only.
    CHopwatchMemoryList rows;
    ASSERT_TRUE(rows.ResizeRowStore(2));
    rows.GetCellColors(1)->SetSize(4);
    for (int c = 0; c < 4; ++c)
        (*rows.GetCellColors(1))[c] = c == 2 ? 0x66FFFF : 0xFFFFFF;

    SHopwatchReportInput input;
    ASSERT_TRUE(SnapshotReportListControl(list, rows, input));
    DestroyWindow(list);
    ASSERT_EQ(input.columns.GetSize(), 4);
    EXPECT_EQ(input.columns[1].header, L"a <b> & c");
    EXPECT_EQ(input.columns[2].format & HDF_JUSTIFYMASK, HDF_RIGHT);
    EXPECT_EQ(input.columns[3].format & HDF_JUSTIFYMASK, HDF_CENTER);
    ASSERT_EQ(input.items.GetSize(), 3);
    EXPECT_EQ(input.items[1].texts[1], longName);
    EXPECT_EQ(input.items[2].texts[1], L"  198.51.100.7");
    EXPECT_EQ(input.items[0].image, 0);
    EXPECT_EQ(input.items[1].image, 3);
    EXPECT_LT(input.items[2].image, 0);
    EXPECT_EQ(input.items[1].colors[2], 0x66FFFFu);
    EXPECT_EQ(input.items[2].colors[2], 0xFFFFFFu);

    input.exportIcons = TRUE;
    input.rowImages = BuiltInRowImagePixels();
    CString document;
    ASSERT_TRUE(BuildHopwatchReport(input, document));
    EXPECT_NE(document.find(L"<th class=\"thr\">TTL</th>"), CString::npos);
    EXPECT_NE(document.find(L"<th class=\"thl\">a &lt;b&gt; &amp; c</th>"), CString::npos);
    EXPECT_NE(document.find(L"<th class=\"thc\">Note</th>"), CString::npos);
    EXPECT_NE(document.find(L"#FFFF66;\">50%</td>"), CString::npos);
    EXPECT_NE(document.find(L"\">&nbsp;&nbsp;198.51.100.7</td>"), CString::npos);
    EXPECT_NE(document.find(L"\t\t<td class=\"tdx\">\r\n\t\t</td>\r\n"), CString::npos);
}
