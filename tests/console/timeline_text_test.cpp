// The console's timeline: a glyph per slot and row, clock labels, the events as lines.
#include <gtest/gtest.h>

#include "console/timeline_text.h"
#include "results/CHopwatchRecordRows.h"
#include "timeline/timeline_feed.h"

TEST(ConsoleTimeline, AGlyphPerSecondShowsWhereTheLossWasAndTheEpisodeFollows) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model, CNTimeStamp(2026, 1, 2, 0, 0, 0));
    feed.Run(0, 60, 4, [](DWORD hop, std::int64_t s) {
        CTimelineFeed::SFate fate;
        fate.responder = CTimelineFeed::Router(hop);
        if (hop >= 3 && s >= 20 && s < 40)
            fate.fate = CTimelineFeed::kLose;
        if (hop == 2 && s == 5)
            fate.fate = CTimelineFeed::kLose;
        return fate;
    });
    CHopwatchRecordRows rows;
    rows.SetRowCount(5);
    for (int r = 0; r < 5; ++r) {
        rows.Host(r).ttl = static_cast<DWORD>(r);
        rows.Host(r).address = CTimelineFeed::Router(static_cast<DWORD>(r));
    }
    STimelineReport report;
    ASSERT_TRUE(SnapshotTimelineReport(model, rows, report, kConsoleTimelineCells));
    const CString text = FormatTimelineText(report, false);
    const CString full(20, L'\u2588');
    EXPECT_NE(text.find(L"Timeline: one column per 1 second from 00:00:00 to 00:01:00\n"),
              CString::npos);
    EXPECT_NE(text.find(L"\nTTL   0 192.0.2.0      " + CString(60, L' ') + L"\n"), CString::npos);
    EXPECT_NE(text.find(L"\nTTL   2 192.0.2.2      " + CString(5, L'\u2588') + L"x" +
                        CString(54, L'\u2588') + L"\n"),
              CString::npos);
    EXPECT_NE(text.find(L"\nTTL   3 192.0.2.3      " + full + CString(20, L'x') + full + L"\n"),
              CString::npos);
    EXPECT_NE(text.find(L"\n                       00:00:00  00:00:10  00:00:20"), CString::npos);
    EXPECT_NE(
        text.find(L"\n00:00:20-00:00:40  Loss episode at TTL 3-4: worst loss 100% at TTL 3\n"),
        CString::npos);

    const CString colored = FormatTimelineText(report, true);
    EXPECT_NE(colored.find(L"\033[38;2;204;0;0mx"), CString::npos);
    EXPECT_NE(colored.find(L"\033[0m\n"), CString::npos);
}
