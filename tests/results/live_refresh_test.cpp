// The list refresh against a live data model: after every change the incrementally refreshed list
// equals a list filled afresh, cell by cell.
#include <gtest/gtest.h>

#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRowRefresher.h"
#include "results/list_columns.h"
#include "support/SScriptedRun.h"

namespace {

constexpr int kGraphWidth = 16;

class LiveRefresh : public ::testing::Test, protected SScriptedRun {
protected:
    LiveRefresh() {
        EXPECT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 5000, 16, 0));
        m_list.SetHistoryWidth(kGraphWidth);
    }

    void Answer(DWORD hop, DWORD responder, int us = 2000, BYTE type = 11, BYTE code = 0) {
        const DWORD slot = data.ProbeHop(hop);
        net.Advance(us);
        data.Feed(type == 0 ? MakeEchoReply(Id(), slot) : MakeIcmpError(type, code, Id(), slot),
                  responder, net.Now());
    }

    // Refreshes the kept list and compares it with a list filled from scratch.
    void RefreshAndCompare(const char* step) {
        SCOPED_TRACE(step);
        m_refresher.Refresh(data, m_list);
        CHopwatchMemoryList fresh;
        fresh.SetHistoryWidth(kGraphWidth);
        CHopwatchRowRefresher freshRefresher;
        freshRefresher.Refresh(data, fresh);
        ASSERT_EQ(m_list.GetItemCount(), fresh.GetItemCount());
        ASSERT_EQ(m_list.GetItemCount(), static_cast<int>(data.GetVisibleRows()));
        for (int item = 0; item < fresh.GetItemCount(); ++item) {
            SCOPED_TRACE(item);
            EXPECT_EQ(m_list.GetItemImage(item), fresh.GetItemImage(item));
            EXPECT_EQ(m_list.GetItemData(item), fresh.GetItemData(item));
            for (int column = 0; column < kHopwatchColumnCount; ++column) {
                EXPECT_EQ(m_list.GetText(item, column), fresh.GetText(item, column))
                    << "column " << column;
                EXPECT_EQ(m_list.GetCellColor(item, column), fresh.GetCellColor(item, column))
                    << "column " << column;
            }
            const CHopwatchHist4Show* kept = m_list.GetHistory(item);
            const CHopwatchHist4Show* filled = fresh.GetHistory(item);
            ASSERT_TRUE(kept != nullptr && filled != nullptr);
            ASSERT_EQ(kept->values.GetSize(), filled->values.GetSize());
            for (int i = 0; i < kept->values.GetSize(); ++i)
                EXPECT_EQ(kept->values[i], filled->values[i]) << "value " << i;
        }
    }

    CHopwatchMemoryList m_list;
    CHopwatchRowRefresher m_refresher;
};

} // namespace

TEST_F(LiveRefresh, EveryCellOfEveryRowMatchesAFreshFill) {
    RefreshAndCompare("start");
    Answer(0, kTestLocal, 100, 0);
    Answer(1, kTestX);
    Answer(2, kTestX, 3000);
    RefreshAndCompare("first answers");
    RefreshAndCompare("nothing changed");

    Answer(2, kTestY, 5000);
    RefreshAndCompare("split");
    Answer(2, kTestZ, 7000);
    Answer(3, kTestY);
    RefreshAndCompare("third responder");

    data.ApplyHostName(kTestY, L"y.example");
    RefreshAndCompare("a host name arrives");

    Answer(4, kTestX, 1000, 3, 13);
    RefreshAndCompare("an unreachable reply");

    Answer(5, kTestZ);
    Answer(5, kTestX, 9000);
    Answer(2, kTestX, 1500);
    RefreshAndCompare("a second split");

    net.Advance(Ticks(6.0));
    data.SendProbe(); // the sweep counts the outstanding probes lost
    Answer(6, kTestTarget, 4000, 0);
    RefreshAndCompare("time-outs and the target");
}
