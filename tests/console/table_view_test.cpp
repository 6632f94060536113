// The console's table of the results list: alignment, history graph glyphs and optional colours.
#include <gtest/gtest.h>

#include <limits>

#include "console/table_view.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRecordRows.h"
#include "results/list_columns.h"

namespace {

// Two rows: a hop with a graph (no note) and an alternative host with a note.
void FillList(CHopwatchMemoryList& list) {
    ASSERT_TRUE(list.InsertItem(0));
    ASSERT_TRUE(list.InsertItem(1));
    ASSERT_TRUE(list.ResizeRowStore(2));
    const LPCWSTR row0[kHopwatchColumnCount] = {L"1",     L"192.0.2.1", L"gw",    L"0%",
                                                L"10",    L"10",        L"0",     L"1.000",
                                                L"0.500", L"0.750",     L"1.000", L""};
    const LPCWSTR row1[kHopwatchColumnCount] = {
        L"12", L"  198.51.100.7",  L"x\x1b[2Jy", L"100%", L"1,234", L"0", L"1,234", L"", L"", L"",
        L"",   L"Host unreachable"};
    for (int c = 0; c < kHopwatchColumnCount; ++c) {
        list.SetItemText(0, c, row0[c]);
        list.SetItemText(1, c, row1[c]);
    }
    NArray<COLORREF>& colors = *list.GetCellColors(1);
    colors.SetSize(kHopwatchColumnCount);
    for (int c = 0; c < kHopwatchColumnCount; ++c)
        colors[c] = 0xFFFFFF;
    colors[kColLoss] = 0x9999FF;

    // Newest first: a reply at the window's maximum, an awaiting probe, a lost one, a half-height
    // reply.
    CHopwatchHist4Show& show = *list.GetHistory(0);
    show.values.SetSize(4);
    show.values[0] = 0.010;
    show.values[1] = -1.0;
    show.values[2] = -2.0;
    show.values[3] = 0.005;
    show.max = 0.010;
}

// The records behind the two rows, for the console's own columns: row 0 has two replies, 1 ms
// apart (a spread of 0.5 ms), row 1 none.
struct SRows {
    SRows() {
        EXPECT_TRUE(records.SetRowCount(2));
        SHopwatchHost& hop = records.Host(0);
        hop.ttl = 1;
        hop.sent = hop.received = 2;
        hop.sumRtt = 0.003;
        hop.squaredDeviations = 2 * 0.0005 * 0.0005;
        hop.jitterSum = 0.001;
        records.Host(1).ttl = 12;
        EXPECT_TRUE(snapshot.Take());
    }
    CHopwatchRecordRows records;
    CConsoleRowSnapshot snapshot{records};
};

} // namespace

TEST(TableView, AlignsColumnsAndDrawsTheGraphWhereThereIsNoNote) {
    CHopwatchMemoryList list;
    FillList(list);
    SRows rows;
    const CString expected =
        L"TTL  Address         Host Name  Loss     Tx  Rx   Lost  Last RT [ms]  Min RT [ms]  "
        L"Avg RT [ms]  Max RT [ms]  Note / History    StDev [ms]  Jitter [ms]\n"
        L"  1  192.0.2.1       gw           0%     10  10      0         1.000        0.500  "
        L"      0.750        1.000  \u2584\u00D7\u00B7\u2588" +
        CString(19, L' ') +
        L"0.500        1.000\n"
        L" 12    198.51.100.7  x?[2Jy     100%  1,234   0  1,234                            "
        L"                           Host unreachable\n";
    EXPECT_EQ(expected, FormatTableView(list, rows.snapshot, false));
    EXPECT_EQ(std::string::npos, FormatTableViewUtf8(list, rows.snapshot, false).find('\x1b'));
    // UTF-8 bytes of the glyphs: U+2584 is E2 96 84.
    EXPECT_NE(std::string::npos,
              FormatTableViewUtf8(list, rows.snapshot, false).find("\xE2\x96\x84"));
}

TEST(TableView, ColoursOnlyWhenAskedAndResetsEveryCell) {
    CHopwatchMemoryList list;
    FillList(list);
    SRows rows;
    CString text = FormatTableView(list, rows.snapshot, true);
    // The Loss cell of row 1 has the light red background, black text.
    EXPECT_NE(CString::npos, text.find(L"\033[48;2;255;153;153m\033[38;2;0;0;0m100%\033[0m"));
    // A row without a colour array is drawn white.
    EXPECT_NE(CString::npos, text.find(L"\033[48;2;255;255;255m\033[38;2;0;0;0m  1\033[0m"));
    size_t line = text.find(L'\n');
    EXPECT_EQ(CString::npos, text.substr(0, line).find(L'\033')); // headers stay plain
    for (size_t end = text.find(L'\n', line + 1); end != CString::npos;
         end = text.find(L'\n', end + 1))
        EXPECT_EQ(L"\033[0m", text.substr(end - 4, 4));
}

TEST(TableView, GraphShowsTheNewestOutcomesUpToItsWidth) {
    CHopwatchHist4Show show;
    show.values.SetSize(40);
    for (int i = 0; i < 40; ++i)
        show.values[i] = -2.0;
    show.values[0] = 0.001; // newest, the only reply: full height
    show.max = 0.001;
    CString graph = FormatHistoryGraph(show, kTableGraphWidth);
    ASSERT_EQ(static_cast<size_t>(kTableGraphWidth), graph.size());
    EXPECT_EQ(L'\u2588', graph.back());
    EXPECT_EQ(L'\u00D7', graph.front());

    // No reply in the window: max is NaN, so only marks appear.
    show.values.SetSize(2);
    show.values[0] = -1.0;
    show.max = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(L"\u00D7\u00B7", FormatHistoryGraph(show, kTableGraphWidth));
    EXPECT_EQ(L"", FormatHistoryGraph(show, 0));
}
