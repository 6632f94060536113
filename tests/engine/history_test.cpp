// Outcome ring and display window: overwrite order, in-place replies, window statistics.
#include <cmath>

#include <gtest/gtest.h>

#include "engine/CHopwatchHist4Show.h"
#include "engine/CHopwatchHistory.h"

namespace {
const double kAwaiting = HopwatchNegativeNaN();
const double kNoReply = HopwatchPositiveNaN();
} // namespace

TEST(HopwatchHistory, RingRunsDownwardsAndOverwritesTheOldest) {
    CHopwatchHistory history;
    EXPECT_EQ(history.GetVersion(), 1u);
    history.Add(1, kAwaiting);
    EXPECT_EQ(history.GetNewest(), kHistRingSize - 1); // the first entry lands in the last slot
    for (DWORD id = 2; id <= 4097; ++id)
        history.Add(id & 0xFFFF, kAwaiting);
    EXPECT_EQ(history.GetUsed(), kHistRingSize);
    EXPECT_EQ(history.Find(1), nullptr); // the 4,097th outcome took the oldest one's place
    ASSERT_NE(history.Find(2), nullptr);
    EXPECT_EQ(history.GetNewest(), kHistRingSize - 1);
    EXPECT_EQ(history.GetEntries()[kHistRingSize - 1].flags, 4097u | kHistInUse | kHistAwaiting);

    // A reply for a present id replaces its entry in place.
    const int newest = history.GetNewest();
    const DWORD version = history.GetVersion();
    const double rtt = 0.012;
    history.Add(3000, rtt);
    EXPECT_EQ(history.GetNewest(), newest);
    EXPECT_EQ(history.GetUsed(), kHistRingSize);
    EXPECT_EQ(history.GetVersion(), version + 1);
    EXPECT_EQ(history.Find(3000)->flags, 3000u | kHistInUse | kHistReceived);
    EXPECT_EQ(history.Find(3000)->rt, rtt);

    history.Clear();
    EXPECT_EQ(history.GetUsed(), 0);
    EXPECT_EQ(history.GetNewest(), 0);
    EXPECT_EQ(history.GetVersion(), version + 2);
    EXPECT_EQ(history.Find(3000), nullptr);
}

// Slot numbers wrap at 65,536: on a route of 32 hops each hop gets the same ids again after 2,048
// of its own probes, while its ring still holds them. The new probe must go to the newest end.
TEST(HopwatchHistory, ARecycledIdOfANewProbeTakesANewSlot) {
    CHopwatchHistory history;
    for (DWORD n = 0; n < 2048; ++n) {
        history.Add((n * 32) & 0xFFFF, kAwaiting);
        history.Add((n * 32) & 0xFFFF, 0.001);
    }
    EXPECT_EQ(history.GetUsed(), 2048);
    history.Add(0, kAwaiting); // slot 0 comes round again
    EXPECT_EQ(history.GetUsed(), 2049);
    EXPECT_EQ(history.GetEntries()[history.GetNewest()].flags, kHistInUse | kHistAwaiting);
    history.Add(0, 0.002); // its reply updates the new entry, not the old one
    CHopwatchHist4Show show;
    show.wanted = 2;
    show.Build(history);
    ASSERT_EQ(show.values.GetSize(), 2);
    EXPECT_EQ(show.values[0], 0.002);
    EXPECT_EQ(show.values[1], 0.001);
    EXPECT_EQ(history.GetEntries()[kHistRingSize - 1].rt, 0.001); // the first probe's outcome
}

TEST(HopwatchHistory, FindStopsAtTheFirstEmptySlot) {
    CHopwatchHistory history;
    history.Add(7, kAwaiting);
    history.Clear(); // id 7's slot is zeroed, but an id of the old run must not match
    history.Add(8, kAwaiting);
    history.Add(7, 0.005); // not present in the unbroken run: takes a new slot
    EXPECT_EQ(history.GetUsed(), 2);
    EXPECT_EQ(history.Find(7)->rt, 0.005);
    history.Add(8, kNoReply); // a time-out drops the awaiting mark
    EXPECT_EQ(history.Find(8)->flags, 8u | kHistInUse);
    EXPECT_EQ(history.Find(8)->rt, 0.0);
}

TEST(HopwatchHist4Show, WindowValuesAndStatistics) {
    CHopwatchHistory history;
    CHopwatchHist4Show show;
    show.wanted = 10;
    EXPECT_EQ(show.Build(history), 1); // fresh: empty window, NaN statistics
    EXPECT_EQ(show.values.GetSize(), 0);
    EXPECT_TRUE(std::isnan(show.min) && std::isnan(show.max) && std::isnan(show.avg));
    EXPECT_EQ(show.Build(history), 0); // nothing changed

    history.Add(1, kAwaiting);
    history.Add(2, kAwaiting);
    history.Add(2, kNoReply);
    EXPECT_EQ(show.Build(history), 1);
    ASSERT_EQ(show.values.GetSize(), 2);
    EXPECT_EQ(show.values[0], -2.0); // newest: no reply
    EXPECT_EQ(show.values[1], -1.0); // still awaiting
    EXPECT_TRUE(std::isnan(show.avg));

    history.Add(3, 0.004); // a window with one reply: avg is that time
    show.Build(history);
    EXPECT_EQ(show.values[0], 0.004);
    EXPECT_EQ(show.min, 0.004);
    EXPECT_EQ(show.max, 0.004);
    EXPECT_EQ(show.avg, 0.004);

    history.Add(4, 0.0); // a zero time is shown as nothing and left out of the statistics
    history.Add(5, 0.008);
    show.Build(history);
    EXPECT_EQ(show.values[1], -2.0);
    EXPECT_EQ(show.min, 0.004);
    EXPECT_EQ(show.max, 0.008);
    EXPECT_DOUBLE_EQ(show.avg, 0.006);

    show.wanted = 0; // no width: empty window even with history
    EXPECT_EQ(show.Build(history), 1);
    EXPECT_EQ(show.values.GetSize(), 0);
    show.wanted = 2; // a narrower window changes the length and rebuilds
    EXPECT_EQ(show.Build(history), 1);
    EXPECT_EQ(show.values.GetSize(), 2);
}
