// The HTML report document: its pieces in order, icons on and off, cells, times and the footer.
#include <gtest/gtest.h>

#include "report/report_document.h"
#include "report_sample.h"

namespace {

const wchar_t kTimeFormat[] = L"%a, %b %d, %Y  %I:%M:%S %p GMT%G";

CString Build(const SHopwatchReportInput& input) {
    CString document;
    EXPECT_TRUE(BuildHopwatchReport(input, document));
    return document;
}

std::size_t Count(const CString& text, const CString& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != CString::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

bool Has(const CString& text, const CString& piece) {
    return text.find(piece) != CString::npos;
}

// The text between the first `from` at or after `start` and the next `to`.
CString Between(const CString& text, const CString& from, const CString& to,
                std::size_t start = 0) {
    std::size_t a = text.find(from, start);
    if (a == CString::npos)
        return CString();
    a += from.size();
    std::size_t b = text.find(to, a);
    return b == CString::npos ? CString() : text.substr(a, b - a);
}

// The cells of each row of the results table, counting only its own cells (not icon pixels).
NArray<int> RowCellCounts(const CString& document) {
    NArray<int> counts;
    CString table = Between(document, L"<table class=\"tb\">\r\n", L"\r\n</table>\r\n<br>");
    for (std::size_t at = table.find(L"\t<tr"); at != CString::npos;
         at = table.find(L"\t<tr", at + 1)) {
        std::size_t end = table.find(L"\t</tr>", at);
        CString row = table.substr(at, end - at);
        int cells = static_cast<int>(Count(row, L"\t\t<td ") + Count(row, L"\t\t<th "));
        counts.SetSize(counts.GetSize() + 1);
        counts[counts.GetSize() - 1] = cells;
    }
    return counts;
}

} // namespace

TEST(ReportDocument, SmallReportWithoutIconsIsExactlyTheListedPieces) {
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    input.columns.SetSize(2);
    input.items[0].texts.SetSize(2);
    input.items[0].colors.SetSize(2);
    input.stopped = input.now;
    const CString started = input.started.Format(kTimeFormat);
    const CString stopped = input.stopped.Format(kTimeFormat);
    const CString expected =
        L"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
        L"<html>\r\n<head>\r\n\t<title>Hopwatch Results</title>\r\n"
        L"\t<meta name=\"Generator\" content=\"Hopwatch Release 0.01.00\">\r\n"
        L"\t<meta NAME=\"Author\" CONTENT=\"Kestrin\">\r\n"
        L"\t<meta NAME=\"Description\" CONTENT=\"Machine-generated network diagnostics "
        L"results\">\r\n"
        L"\t<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n"
        L"\t<style type=\"text/css\">\r\n"
        L"\t\tbody { background: white; color: black; font-family: Tahoma, Verdana, Arial, "
        L"Helvetica, sans-serif; }\r\n"
        L"\t\ta:link { color: #0066CC; }\r\n"
        L"\t\ta:visited { color: #333300; }\r\n"
        L"\t\ta:active { color: #660066; }\r\n"
        L"\t\t.tbh { border-style: none; border-spacing: 0px; border-collapse: collapse; }\r\n"
        L"\t\t.hd { font-size: 24px; font-weight: bold; }\r\n"
        L"\t\t.pm { font-size: 12px; }\r\n"
        L"\t\t.tb { font-size: 12px; border: 1px solid #999999; border-spacing: 2px; "
        L"border-style: outset; border-collapse: collapse; }\r\n"
        L"\t\t.th { background-color: #CCCCCC; }\r\n"
        L"\t\t.thl { text-align: left; padding: 2px; border: 1px solid #999999; border-style: "
        L"inset; }\r\n"
        L"\t\t.thc { text-align: center; padding: 2px; border: 1px solid #999999; border-style: "
        L"inset; }\r\n"
        L"\t\t.thr { text-align: right; padding: 2px; border: 1px solid #999999; border-style: "
        L"inset; }\r\n"
        L"\t\t.tdl { text-align: left; padding: 2px; border: 1px solid #CCCCCC; border-style: "
        L"inset; }\r\n"
        L"\t\t.tdc { text-align: center; padding: 2px; border: 1px solid #CCCCCC; border-style: "
        L"inset; }\r\n"
        L"\t\t.tdr { text-align: right; padding: 2px; border: 1px solid #CCCCCC; border-style: "
        L"inset; }\r\n"
        L"\t\t.ft { font-size: 10px; }\r\n"
        L"\t</style>\r\n"
        L"</head>\r\n<body>\r\n<table class=\"tbh\"><tr>\r\n"
        L"<td class=\"hd\">Hopwatch Results</td>\r\n</tr></table>\r\n"
        L"<div class=\"pm\"><br>\r\n"
        L"\tHost: target.example 203.0.113.1<br>\r\n"
        L"\tTest started: " +
        started + L"<br>\r\n\tTest stopped: " + stopped +
        L"<br>\r\n"
        L"\tTest duration: 1 hour, 2 minutes, 5 seconds<br>\r\n"
        L"\t<br>\r\n</div>\r\n"
        L"<table class=\"tb\">\r\n\t<tr class=\"th\">\r\n"
        L"\t\t<th class=\"thr\">TTL</th>\r\n"
        L"\t\t<th class=\"thl\">Address</th>\r\n"
        L"\t</tr>\r\n"
        L"\t<tr>\r\n"
        L"\t\t<td class=\"tdr\" style=\"background-color: #FFFFFF;\">1</td>\r\n"
        L"\t\t<td class=\"tdl\" style=\"background-color: #FFFFFF;\">192.0.2.1</td>\r\n"
        L"\t</tr>\r\n"
        L"</table>\r\n<br>\r\n"
        L"<div class=\"ft\">Generated by <a href=\"" +
        CString(kReportMakerAddress) +
        L"\">Hopwatch</a> Release 0.01.00 </div>\r\n</body>\r\n</html>\r\n";
    EXPECT_EQ(Build(input), expected);
    EXPECT_EQ(started, L"Wed, May 23, 2007  01:13:11 PM GMT" + CNTimeStamp::LocalOffsetText());
}

TEST(ReportDocument, IconsOffLeavesOutEveryIconPieceAndKeepsRowsAsWideAsTheHeader) {
    const CString document = Build(report_sample::MakeInput(5, FALSE));
    for (const wchar_t* piece : {L"tdhx", L"thx", L"tdx", L"tbi", L"tdi"})
        EXPECT_FALSE(Has(document, piece)) << piece;
    NArray<int> cells = RowCellCounts(document);
    ASSERT_EQ(cells.GetSize(), 6);
    for (int r = 0; r < cells.GetSize(); ++r)
        EXPECT_EQ(cells[r], 4) << "row " << r;
}

TEST(ReportDocument, IconsOnAddTheIconStylesTheProgramIconAndOneImagePerRow) {
    SHopwatchReportInput input = report_sample::MakeInput(3, TRUE);
    input.items[1].image = -1; // no image: an empty cell
    const CString document = Build(input);
    EXPECT_TRUE(Has(document, L"\t\t.tdhx { text-align: center; padding: 0px; border-style: "
                              L"none; border-spacing: 0px; }\r\n"));
    EXPECT_TRUE(Has(document, L"\t\t.tdiT { width: 1px; height: 1px; background-color: "
                              L"transparent; border-style: none; border-spacing: 0px; padding: "
                              L"0px; }\r\n"));
    EXPECT_TRUE(Has(document, L"\t\t.tdiA { width: 1px; height: 1px; background-color: "
                              L"#00FF00; border-style: none; border-spacing: 0px; padding: "
                              L"0px; }\r\n"));
    // The icon styles follow the basic ones inside the one style element.
    EXPECT_LT(document.find(L".ft {"), document.find(L".tdhx {"));
    EXPECT_LT(document.find(L".tdiF {"), document.find(L"\t</style>"));

    const CString header = Between(document, L"<td class=\"tdhx\">\r\n", L"</td>\r\n<td");
    EXPECT_EQ(Count(header, L"<tr>"), 32u);
    EXPECT_EQ(Count(header, L"<td class=\"tdi"), 1024u);
    EXPECT_TRUE(Has(document, L"\t<tr class=\"th\">\r\n\t\t<th class=\"thx\"></th>\r\n"
                              L"\t\t<th class=\"thr\">TTL</th>"));

    EXPECT_EQ(Count(document, L"\t\t<td class=\"tdx\">\r\n"), 3u);
    EXPECT_TRUE(Has(document, L"\t\t<td class=\"tdx\">\r\n\t\t</td>\r\n"));
    const CString first = Between(document, L"\t\t<td class=\"tdx\">\r\n", L"\t\t</td>\r\n");
    EXPECT_EQ(Count(first, L"<tr>"), 16u);
    EXPECT_EQ(Count(first, L"<td class=\"tdi"), 256u);
    NArray<int> cells = RowCellCounts(document);
    ASSERT_EQ(cells.GetSize(), 4);
    for (int r = 0; r < cells.GetSize(); ++r)
        EXPECT_EQ(cells[r], 5) << "row " << r;
}

TEST(ReportDocument, AnImageThatCannotBeDrawnLeavesItsCellEmpty) {
    SHopwatchReportInput input = report_sample::MakeInput(1, TRUE);
    input.programIcon = SHopwatchReportImage();
    input.items[0].image = 9; // beyond the strip's eight images
    const CString document = Build(input);
    EXPECT_TRUE(Has(document, L"<td class=\"tdhx\">\r\n</td>\r\n<td class=\"hd\">"));
    EXPECT_TRUE(Has(document, L"\t\t<td class=\"tdx\">\r\n\t\t</td>\r\n"));
    EXPECT_TRUE(Has(document, L"</html>\r\n"));
}

TEST(ReportDocument, TextsAreEscapedNonBreakingInCellsAndPlainInHeadersAndTitle) {
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    input.columns[1].header = L"a <b> & c";
    input.items[0].texts[1] = L"a <b> & c";
    input.progressText = L"<host> & co";
    input.version.generator = L"Hop <watch> & co";
    const CString document = Build(input);
    EXPECT_TRUE(Has(document, L"<th class=\"thl\">a &lt;b&gt; &amp; c</th>"));
    EXPECT_TRUE(Has(document, L";\">a&nbsp;&lt;b&gt;&nbsp;&amp;&nbsp;c</td>"));
    EXPECT_TRUE(Has(document, L"\tHost: &lt;host&gt; &amp; co<br>\r\n"));
    EXPECT_TRUE(Has(document, L"content=\"Hop &lt;watch&gt; &amp; co\">\r\n"));
}

TEST(ReportDocument, CellsCarryAlignmentAndColourAndShortRowsFillWithWhiteAndEmpty) {
    SHopwatchReportInput input = report_sample::MakeInput(2, FALSE);
    input.items[1].texts.SetSize(1);  // only the TTL could be read
    input.items[1].colors.SetSize(2); // colours for two columns only
    input.items[1].colors[0] = 0x99FF99;
    const CString document = Build(input);
    // The TTL column is right-aligned although its header format says left.
    EXPECT_EQ(Count(document, L"<th class=\"thr\">TTL</th>"), 1u);
    EXPECT_EQ(Count(document, L"<td class=\"tdr\" style=\"background-color: #FFFFFF;\">1</td>"),
              1u);
    EXPECT_TRUE(Has(document, L"<td class=\"tdr\" style=\"background-color: #FFFF66;\">25%</td>"));
    EXPECT_TRUE(Has(document, L"<th class=\"thc\">Note / History</th>"));
    EXPECT_TRUE(Has(document, L"<td class=\"tdc\" style=\"background-color: #FFFFFF;\"></td>"));
    EXPECT_TRUE(Has(document, L"<td class=\"tdr\" style=\"background-color: #99FF99;\">2</td>"));
    const CString secondRow = document.substr(document.find(L"#99FF99"));
    EXPECT_TRUE(Has(secondRow, L"<td class=\"tdr\" style=\"background-color: #FFFFFF;\"></td>"));
    EXPECT_EQ(RowCellCounts(document)[2], 4);
}

TEST(ReportDocument, RunningTestIsSampledAtTheExportsTimeAndAStoppedOneAtItsStop) {
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    CString running = Build(input);
    EXPECT_TRUE(Has(running, L"\tTest sampled: " + input.now.Format(kTimeFormat) + L"<br>\r\n"));
    EXPECT_FALSE(Has(running, L"Test stopped"));
    EXPECT_TRUE(Has(running, L"\tTest duration: 1 hour, 2 minutes, 5 seconds<br>\r\n"));

    input.stopped = CNTimeStamp(input.started.GetValue() + 86401ull * 10000000ull);
    CString stopped = Build(input);
    EXPECT_TRUE(Has(stopped, L"\tTest stopped: " + input.stopped.Format(kTimeFormat)));
    EXPECT_FALSE(Has(stopped, L"Test sampled"));
    EXPECT_TRUE(Has(stopped, L"\tTest duration: 1 day, 0 hours, 0 minutes, 1 second<br>\r\n"));
}

TEST(ReportDocument, FooterAddsTheBuildStampInLocalTimeOnlyWhenThereIsOne) {
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    EXPECT_TRUE(Has(Build(input), L"\">Hopwatch</a> Release 0.01.00 </div>\r\n"));
    input.version.buildUtc = CNTimeStamp(2026, 12, 8, 9, 30, 5);
    CNTimeStamp local = input.version.buildUtc;
    local.ToLocal();
    const CString document = Build(input);
    EXPECT_TRUE(Has(document, L"\">Hopwatch</a> Release 0.01.00 " +
                                  local.Format(L"Build %y%m%d.%H%M%S ") + L"</div>\r\n"));
    EXPECT_TRUE(Has(document, L"Build 2612"));
}

TEST(ReportDocument, TheTimelineGoesBetweenTableAndFooterAndLeavesEveryOtherByteAsItWas) {
    SHopwatchReportInput input = report_sample::MakeInput(2, TRUE);
    const CString without = Build(input);
    STimelineReport& timeline = input.timeline;
    timeline.start = input.started;
    timeline.slotWidth = 1.0;
    timeline.rows.SetSize(1);
    timeline.rows[0].ttl = 1;
    timeline.view.Size(1, 2);
    timeline.view.spanEnd[0] = timeline.view.spanStart[1] = 1.0;
    timeline.view.spanEnd[1] = 2.0;
    timeline.view.cells[0].sent = 1;
    timeline.view.cells[0].lost = 1;
    EXPECT_EQ(Build(input), without); // prepared but not included
    timeline.include = true;
    const CString section = TimelineReportSection(timeline);
    ASSERT_TRUE(Has(section, L"<svg"));
    ASSERT_TRUE(Has(section, L"<title>TTL 1 - "));
    const std::size_t footer = without.find(L"<div class=\"ft\">");
    ASSERT_NE(footer, CString::npos);
    EXPECT_EQ(Build(input), without.substr(0, footer) + section + without.substr(footer));
}
