// The report's timeline section: cells with their titles, the loss bars and the events table.
#include <regex>

#include <gtest/gtest.h>

#include "results/CHopwatchRecordRows.h"
#include "timeline/timeline_feed.h"
#include "foundation/numbers.h"
#include "timeline/timeline_report.h"

namespace {

using SFate = CTimelineFeed::SFate;

// One heat-map cell as its title tells it.
struct STitle {
    DWORD ttl;
    CString address;
    CString from;
    CString to;
    DWORD sent;
    DWORD lost;
    CString average;
};

std::vector<STitle> Titles(const CString& html) {
    static const std::wregex form(
        L"TTL (\\d+) (\\S+) (\\d\\d:\\d\\d:\\d\\d)-(\\d\\d:\\d\\d:\\d\\d) "
        L"sent (\\d+) lost (\\d+) avg (\\S+) ms");
    std::vector<STitle> titles;
    for (std::size_t at = html.find(L"<title>"); at != CString::npos;
         at = html.find(L"<title>", at + 1)) {
        const std::size_t end = html.find(L"</title>", at);
        const CString text = html.substr(at + 7, end - at - 7);
        std::wsmatch m;
        EXPECT_TRUE(std::regex_match(text, m, form))
            << "title: " << std::string(text.begin(), text.end());
        if (m.empty())
            continue;
        titles.push_back({static_cast<DWORD>(std::stoul(m[1].str())), m[2].str(), m[3].str(),
                          m[4].str(), static_cast<DWORD>(std::stoul(m[5].str())),
                          static_cast<DWORD>(std::stoul(m[6].str())), m[7].str()});
    }
    return titles;
}

// The list of a four-hop chain: this computer, routers 1 to 3, the target at hop 4.
class TimelineReport : public ::testing::Test {
protected:
    TimelineReport() {
        m_rows.SetRowCount(5);
        for (int r = 0; r < 5; ++r) {
            m_rows.Host(r).ttl = static_cast<DWORD>(r);
            m_rows.Host(r).address = CTimelineFeed::Router(static_cast<DWORD>(r));
        }
    }
    void Run(std::int64_t seconds, const CTimelineFeed::FateFunction& fate) {
        CTimelineFeed feed(m_model, CNTimeStamp(2026, 1, 2, 0, 0, 0));
        feed.Run(0, seconds, 4, fate);
        ASSERT_TRUE(SnapshotTimelineReport(m_model, m_rows, m_report));
        m_html = TimelineReportSection(m_report);
    }

    CHopwatchTimeline m_model;
    CHopwatchRecordRows m_rows;
    STimelineReport m_report;
    CString m_html;
};

SFate Answer(DWORD hop) {
    SFate fate;
    fate.responder = CTimelineFeed::Router(hop);
    fate.rtt = hop / 1000.0;
    return fate;
}

} // namespace

TEST_F(TimelineReport, CellsShowTheLossWhereAndWhenItHappenedAndTheEpisodeIsListed) {
    Run(60, [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop);
        if (hop >= 3 && s >= 20 && s < 40)
            fate.fate = CTimelineFeed::kLose;
        return fate;
    });
    ASSERT_TRUE(m_report.include);
    EXPECT_EQ(m_report.slotWidth, 1.0);
    const std::vector<STitle> titles = Titles(m_html);
    ASSERT_EQ(titles.size(), 4u * 60u); // hop 0 was never probed: its row has no cells
    for (const STitle& title : titles) {
        EXPECT_EQ(title.sent, 1u);
        const bool outage = title.ttl >= 3 && title.from >= L"00:00:20" && title.from < L"00:00:40";
        EXPECT_EQ(title.lost, outage ? 1u : 0u) << title.ttl << " " << title.from.c_str();
        EXPECT_EQ(title.average, outage ? CString(L"-") : FormatDouble(title.ttl)) << title.ttl;
        EXPECT_EQ(title.address, L"192.0.2." + std::to_wstring(title.ttl));
    }
    EXPECT_EQ(titles[0].from, L"00:00:00");
    EXPECT_EQ(titles[0].to, L"00:00:01");
    EXPECT_NE(m_html.find(L"<td class=\"tdl\">00:00:20</td>\r\n\t\t<td class=\"tdl\">00:00:40</td>"
                          L"\r\n\t\t<td class=\"tdl\">Loss episode</td>\r\n\t\t<td class=\"tdl\">"
                          L"3-4</td>\r\n\t\t<td class=\"tdl\">worst loss 100% at TTL 3</td>"),
              CString::npos);
    // Loss bars only in the second SVG, for the two hops over twenty seconds.
    const CString loss = m_html.substr(m_html.find(L"Loss per row"));
    std::size_t bars = 0;
    for (std::size_t at = loss.find(L"fill=\"#CC0000\""); at != CString::npos;
         at = loss.find(L"fill=\"#CC0000\"", at + 1))
        ++bars;
    EXPECT_EQ(bars, 40u);
    for (const wchar_t* forbidden : {L"<script", L"href=", L"src=", L"url("})
        EXPECT_EQ(m_html.find(forbidden), CString::npos) << forbidden;
}

TEST_F(TimelineReport, ALongRunGetsWiderCellsAndARunWithoutTroubleSaysSo) {
    Run(3 * 3600, [](DWORD hop, std::int64_t) { return Answer(hop); });
    EXPECT_EQ(m_report.slotWidth, 60.0);
    EXPECT_EQ(m_report.view.slots, 180);
    const std::vector<STitle> titles = Titles(m_html);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles[1].from, L"00:01:00");
    EXPECT_EQ(titles[1].to, L"00:02:00");
    EXPECT_EQ(titles[1].sent, 60u);
    EXPECT_NE(m_html.find(L"one cell per 1 minute,"), CString::npos);
    EXPECT_NE(m_html.find(L"No loss episode and no route change was found."), CString::npos);

    CHopwatchTimeline empty;
    STimelineReport none;
    ASSERT_TRUE(SnapshotTimelineReport(empty, m_rows, none));
    EXPECT_FALSE(none.include);
    EXPECT_EQ(TimelineReportSection(none), L"");
}
