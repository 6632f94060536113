// The report's text pieces and icon tables: escaping, colours, durations, palette, pixel cells.
#include <gtest/gtest.h>

#include "report/report_builtin_images.h"
#include "report/report_html.h"
#include "report/report_icon_table.h"

namespace {

constexpr std::int64_t kSecond = 10000000;

std::size_t Count(const CString& text, const CString& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != CString::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(ReportHtml, EscapesMarkupAndSpacesOnlyWhenAskedAndLeavesQuotes) {
    EXPECT_EQ(EscapeHtml(L"a <b> & c", TRUE), L"a&nbsp;&lt;b&gt;&nbsp;&amp;&nbsp;c");
    EXPECT_EQ(EscapeHtml(L"a <b> & c", FALSE), L"a &lt;b&gt; &amp; c");
    // An ampersand that the escaping itself wrote is not escaped twice.
    EXPECT_EQ(EscapeHtml(L"&lt;", FALSE), L"&amp;lt;");
    EXPECT_EQ(EscapeHtml(L"say \"hi\"", TRUE), L"say&nbsp;\"hi\"");
    EXPECT_EQ(EscapeHtml(L"", TRUE), L"");
}

TEST(ReportHtml, ColoursAreRedGreenBlueInUpperCaseHex) {
    EXPECT_EQ(ColorToHtml(0xFFFFFF), L"#FFFFFF");
    EXPECT_EQ(ColorToHtml(0x66FFFF), L"#FFFF66");
    EXPECT_EQ(ColorToHtml(0x9999FF), L"#FF9999");
    EXPECT_EQ(ColorToHtml(0x0A0B0C), L"#0C0B0A");
    EXPECT_EQ(ColorToHtml(0xFF000000), L"#000000"); // the unused top byte is ignored
}

TEST(ReportHtml, AlignmentLetterFollowsTheHeaderExceptTheFirstColumn) {
    EXPECT_STREQ(ReportAlignmentLetter(0, kReportHeaderLeft), L"r");
    EXPECT_STREQ(ReportAlignmentLetter(0, kReportHeaderCenter), L"r");
    EXPECT_STREQ(ReportAlignmentLetter(1, kReportHeaderLeft), L"l");
    EXPECT_STREQ(ReportAlignmentLetter(3, kReportHeaderRight), L"r");
    EXPECT_STREQ(ReportAlignmentLetter(5, kReportHeaderCenter), L"c");
    // Other format bits (images, sort arrows) beside the justification do not matter.
    EXPECT_STREQ(ReportAlignmentLetter(5, 0x1000 | kReportHeaderRight), L"r");
    EXPECT_STREQ(ReportAlignmentLetter(5, 0x3), L"l");
}

TEST(ReportHtml, DurationsWriteEveryPartFromTheFirstNonZeroOne) {
    EXPECT_EQ(FormatReportDuration(0), L"0 seconds");
    EXPECT_EQ(FormatReportDuration(3725 * kSecond), L"1 hour, 2 minutes, 5 seconds");
    EXPECT_EQ(FormatReportDuration(86401 * kSecond), L"1 day, 0 hours, 0 minutes, 1 second");
    EXPECT_EQ(FormatReportDuration(60 * kSecond), L"1 minute, 0 seconds");
    EXPECT_EQ(FormatReportDuration(2 * 86400 * kSecond + 7200 * kSecond),
              L"2 days, 2 hours, 0 minutes, 0 seconds");
    // Rounded to the nearest second, half a second up.
    EXPECT_EQ(FormatReportDuration(kSecond / 2 - 1), L"0 seconds");
    EXPECT_EQ(FormatReportDuration(kSecond / 2), L"1 second");
    // A clock set back during the test gives no wrapped-around figure.
    EXPECT_EQ(FormatReportDuration(-5 * kSecond), L"0 seconds");
    // A whole year of run time: the day count does not overflow.
    EXPECT_EQ(FormatReportDuration(366LL * 86400 * kSecond),
              L"366 days, 0 hours, 0 minutes, 0 seconds");
}

TEST(ReportHtml, NearestPaletteIndexTakesExactMatchesAndTheLowestIndexOnTies) {
    EXPECT_EQ(NearestPaletteIndex(0xFF, 0xFF, 0xFF), 15);
    EXPECT_EQ(NearestPaletteIndex(0x80, 0x00, 0x00), 1);
    EXPECT_EQ(NearestPaletteIndex(0x00, 0x00, 0x80), 4);
    EXPECT_EQ(NearestPaletteIndex(0xC0, 0xC0, 0xC0), 7);
    // Grey A0 lies 96 from both C0C0C0 (7) and 808080 (8): the lower index wins.
    EXPECT_EQ(NearestPaletteIndex(0xA0, 0xA0, 0xA0), 7);
    // 400000 lies 64 from black (0) and from 800000 (1).
    EXPECT_EQ(NearestPaletteIndex(0x40, 0x00, 0x00), 0);
    EXPECT_EQ(NearestPaletteIndex(0xF0, 0x10, 0x08), 9);
    for (int i = 0; i < 16; ++i) {
        const COLORREF c = ReportPaletteColor(i);
        EXPECT_EQ(NearestPaletteIndex(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), i);
    }
}

TEST(ReportIconTable, RowImageIsSixteenRowsOfSixteenCellsAndIconThirtyTwoOfThirtyTwo) {
    CString table;
    ASSERT_TRUE(AppendImageTable(table, BuiltInRowImagePixels(), FALSE, 3));
    EXPECT_EQ(table.rfind(L"<table class=\"tbi\">\r\n", 0), 0u);
    EXPECT_EQ(Count(table, L"<tr>"), 16u);
    EXPECT_EQ(Count(table, L"</tr>\r\n"), 16u);
    EXPECT_EQ(Count(table, L"<td class=\"tdi"), 256u);
    EXPECT_EQ(Count(table, L"tdiT"), 0u); // no mask: every pixel opaque
    // The target ring is dark red (#800000, index 1): the channels are read blue, green, red.
    EXPECT_GT(Count(table, L"tdi1\""), 0u);
    EXPECT_EQ(Count(table, L"tdi4\""), 0u);
    EXPECT_EQ(table.substr(table.size() - 10), L"</table>\r\n");

    CString icon;
    ASSERT_TRUE(AppendImageTable(icon, BuiltInProgramIconPixels(), TRUE, 0));
    EXPECT_EQ(Count(icon, L"<tr>"), 32u);
    EXPECT_EQ(Count(icon, L"<td class=\"tdi"), 1024u);
    EXPECT_GT(Count(icon, L"tdiT"), 0u);
}

TEST(ReportIconTable, EmptyImageSixIsAllWhiteAndEachRowHoldsOnlyItsOwnImage) {
    CString table;
    ASSERT_TRUE(AppendImageTable(table, BuiltInRowImagePixels(), FALSE, 6));
    EXPECT_EQ(Count(table, L"tdiF\""), 256u);
    // Row 0 of image 7 must be the 16 pixels from x = 112 on, not the strip's first 16.
    CString last;
    ASSERT_TRUE(AppendImageTable(last, BuiltInRowImagePixels(), FALSE, 7));
    CString first;
    ASSERT_TRUE(AppendImageTable(first, BuiltInRowImagePixels(), FALSE, 0));
    EXPECT_NE(last, first);
}

TEST(ReportIconTable, MaskBitsMarkTransparentPixelsMostSignificantBitFirst) {
    // Two 2 x 2 images side by side: red pixels, the mask marks (x 1, y 0) and (x 2, y 1).
    const BYTE pixels[] = {0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0,
                           0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0};
    const BYTE mask[] = {0x40, 0x00, 0x20, 0x00};
    SHopwatchReportImage image;
    image.width = 4;
    image.height = 2;
    image.bgrx = pixels;
    image.bgrxBytes = sizeof pixels;
    image.rowBytes = 16;
    image.mask = mask;
    image.maskBytes = sizeof mask;
    image.maskRowBytes = 2;
    CString first;
    ASSERT_TRUE(AppendImageTable(first, image, TRUE, 0));
    EXPECT_EQ(first, L"<table class=\"tbi\">\r\n"
                     L"<tr><td class=\"tdi9\"></td><td class=\"tdiT\"></td></tr>\r\n"
                     L"<tr><td class=\"tdi9\"></td><td class=\"tdi9\"></td></tr>\r\n"
                     L"</table>\r\n");
    CString second;
    ASSERT_TRUE(AppendImageTable(second, image, TRUE, 1));
    EXPECT_EQ(Count(second, L"tdiT"), 1u);
    EXPECT_NE(second.find(L"<tr><td class=\"tdiT\"></td><td class=\"tdi9\"></td></tr>"),
              CString::npos);
    // Without useMask the same pixels are all opaque.
    CString opaque;
    ASSERT_TRUE(AppendImageTable(opaque, image, FALSE, 0));
    EXPECT_EQ(Count(opaque, L"tdiT"), 0u);
}

TEST(ReportIconTable, FailsWithoutAppendingForBadIndexesOrShortBuffers) {
    CString out = L"kept";
    EXPECT_FALSE(AppendImageTable(out, BuiltInRowImagePixels(), FALSE, 8));
    EXPECT_FALSE(AppendImageTable(out, BuiltInRowImagePixels(), FALSE, -1));
    EXPECT_FALSE(AppendImageTable(out, BuiltInProgramIconPixels(), TRUE, 1));
    EXPECT_FALSE(AppendImageTable(out, SHopwatchReportImage(), TRUE, 0));
    SHopwatchReportImage shortImage = BuiltInRowImagePixels();
    shortImage.bgrxBytes -= 1;
    EXPECT_FALSE(AppendImageTable(out, shortImage, FALSE, 0));
    SHopwatchReportImage shortMask = BuiltInProgramIconPixels();
    shortMask.maskBytes = 8;
    EXPECT_FALSE(AppendImageTable(out, shortMask, TRUE, 0));
    SHopwatchReportImage tall = BuiltInRowImagePixels();
    tall.width = 8; // narrower than high: no square image in it
    EXPECT_FALSE(AppendImageTable(out, tall, FALSE, 0));
    EXPECT_EQ(out, L"kept");
}
