// The timeline model: buckets per row at several resolutions, their bound, splits and late answers.
#include <gtest/gtest.h>

#include "timeline/timeline_feed.h"

namespace {

using SFate = CTimelineFeed::SFate;

SFate Answer(DWORD hop, double rtt = 0.010) {
    SFate fate;
    fate.responder = CTimelineFeed::Router(hop);
    fate.rtt = rtt;
    return fate;
}

STimelineView View(const CHopwatchTimeline& model, std::vector<STimelineLaneKey> keys, double from,
                   double to, int slots) {
    STimelineView view;
    EXPECT_TRUE(model.ReadView(keys.data(), static_cast<int>(keys.size()), from, to, slots, view));
    return view;
}

} // namespace

TEST(TimelineModel, CountsEachSecondAndMergesSecondsIntoWiderSlots) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    // Hop 2 loses seconds 10 to 19, hop 3 is refused at second 5; answers take (s % 3 + 1) ms.
    feed.Run(0, 60, 3, [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop, (s % 3 + 1) / 1000.0);
        if (hop == 2 && s >= 10 && s < 20)
            fate.fate = CTimelineFeed::kLose;
        if (hop == 3 && s == 5)
            fate.fate = CTimelineFeed::kRefuse;
        return fate;
    });
    const STimelineView seconds = View(model, {{1, 0}, {2, 0}, {3, 0}}, 0, 60, 60);
    for (int s = 0; s < 60; ++s) {
        EXPECT_EQ(seconds.spanStart[s], s);
        EXPECT_EQ(seconds.spanEnd[s], s + 1);
        EXPECT_EQ(seconds.Cell(0, s).sent, 1u);
        EXPECT_EQ(seconds.Cell(1, s).lost, s >= 10 && s < 20 ? 1u : 0u) << s;
        EXPECT_EQ(seconds.Cell(2, s).unreachable, s == 5 ? 1u : 0u) << s;
    }
    const STimelineView tens = View(model, {{1, 0}, {2, 0}}, 0, 60, 6);
    EXPECT_EQ(tens.spanEnd[0], 10.0);
    EXPECT_EQ(tens.Cell(0, 0).answered, 10u);
    EXPECT_FLOAT_EQ(tens.Cell(0, 0).minRtt, 0.001f);
    EXPECT_FLOAT_EQ(tens.Cell(0, 0).maxRtt, 0.003f);
    EXPECT_NEAR(tens.Cell(0, 3).Average(), 0.0020, 1e-4); // 30..39: 1, 2, 3, 1, ... ms
    EXPECT_EQ(tens.Cell(1, 1).Failed(), 10u);
    EXPECT_TRUE(std::isnan(tens.Cell(1, 1).Average()));

    const STimelineBucket total = model.GetLaneTotal({2, 0});
    EXPECT_EQ(total.sent, 60u);
    EXPECT_EQ(total.answered, 50u);
    EXPECT_EQ(total.lost, 10u);
    EXPECT_TRUE(model.GetLaneTotal({7, 0}).IsEmpty());
    // The slowest ten seconds: 2, 3, 1, 2, 3, 1, 2, 3, 1, 2 ms.
    EXPECT_NEAR(View(model, {{1, 0}, {2, 0}}, 0, 60, 6).RttScale(), 0.0021, 1e-9);
    EXPECT_NEAR(model.GetRunInfo().length, 59.03, 1e-6);
}

TEST(TimelineModel, ALateAnswerUndoesItsLossAndDroppedOutcomesAreCounted) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    feed.Push(CTimelineFeed::Make(kOutcomeSent, 4, 1.5));
    feed.Push(CTimelineFeed::Make(kOutcomeLost, 4, 1.5));
    feed.Push(CTimelineFeed::Make(kOutcomeLate, 4, 1.5, 6.5, CTimelineFeed::Router(4)));
    feed.Push(CTimelineFeed::Make(kOutcomeSent, 4, 2.5));
    feed.Push(CTimelineFeed::Make(kOutcomeLost, 4, 2.5));
    feed.Push(CTimelineFeed::Make(kOutcomeLate, 4, 2.5, NAN, CTimelineFeed::Router(4)));
    feed.Flush(7);
    const STimelineView view = View(model, {{4, 0}}, 0, 3, 3);
    EXPECT_EQ(view.Cell(0, 1).lost, 0u);
    EXPECT_EQ(view.Cell(0, 1).answered, 1u);
    EXPECT_FLOAT_EQ(view.Cell(0, 1).maxRtt, 6.5f);
    EXPECT_EQ(view.Cell(0, 2).lost, 1u); // a late unreachable answer leaves the loss
    EXPECT_EQ(model.GetLaneTotal({4, 0}).lost, 1u);
    EXPECT_EQ(model.GetRunInfo().dropped, 7u);
}

TEST(TimelineModel, MemoryStaysTheSameHoweverLongTheRunAndTheWholeRunStaysReadable) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    auto oddDays = [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop);
        if ((s / 86400) % 2 == 1)
            fate.fate = CTimelineFeed::kLose;
        return fate;
    };
    feed.Run(0, 60, 2, oddDays, 10);
    const std::size_t afterAMinute = model.GetMemoryBytes();
    EXPECT_LT(afterAMinute, 1u << 20);
    feed.Run(60, 9 * 86400, 2, oddDays, 10); // nine days: the top level has doubled twice
    EXPECT_EQ(model.GetMemoryBytes(), afterAMinute);

    const double length = model.GetRunInfo().length;
    EXPECT_EQ(model.GetFinestWidthFromStart(), 2400.0);
    // The first days, from the top level: the second one lost everything.
    const STimelineView start = View(model, {{1, 0}}, 0, 2 * 86400, 2);
    EXPECT_EQ(start.spanEnd[0], 86400.0);
    EXPECT_EQ(start.Cell(0, 0).answered, 8640u);
    EXPECT_EQ(start.Cell(0, 1).lost, 8640u);
    // The last minute, second by second.
    const double last = std::floor(length);
    const STimelineView end = View(model, {{1, 0}}, last - 59, last + 1, 60);
    EXPECT_EQ(end.spanEnd[59] - end.spanStart[59], 1.0);
    EXPECT_EQ(end.Cell(0, 59).sent, 1u);
    EXPECT_EQ(end.Cell(0, 58).sent, 0u);
}

TEST(TimelineModel, OldTimesAreReadFromTheFinestLevelStillHoldingThem) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    feed.Run(0, 3 * 3600, 1, [](DWORD hop, std::int64_t) { return Answer(hop); });
    // Second-wide slots three hours back come from the minute level, now from the second level.
    const STimelineView old = View(model, {{1, 0}}, 30, 31, 1);
    EXPECT_EQ(old.spanStart[0], 0.0);
    EXPECT_EQ(old.spanEnd[0], 60.0);
    EXPECT_EQ(old.Cell(0, 0).sent, 60u);
    const STimelineView recent = View(model, {{1, 0}}, 3 * 3600 - 2, 3 * 3600 - 1, 1);
    EXPECT_EQ(recent.spanEnd[0] - recent.spanStart[0], 1.0);
    EXPECT_EQ(recent.Cell(0, 0).sent, 1u);
    // Ten-second slots an hour back come from the ten-second level.
    const STimelineView tens = View(model, {{1, 0}}, 3600, 3620, 2);
    EXPECT_EQ(tens.spanEnd[0] - tens.spanStart[0], 10.0);
    EXPECT_EQ(tens.Cell(0, 1).sent, 10u);
}

TEST(TimelineModel, ASecondResponderSplitsTheHopIntoLanesAsTheListSplitsItsRow) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    const DWORD a = TestIp(198, 51, 100, 1), b = TestIp(198, 51, 100, 2);
    // Hop 2 is answered by A alone for 30 s, then by A and B in turn.
    feed.Run(0, 60, 2, [&](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop, hop == 2 && s >= 30 && s % 2 == 1 ? 0.004 : 0.002);
        if (hop == 2)
            fate.responder = s >= 30 && s % 2 == 1 ? b : a;
        return fate;
    });
    const STimelineView view = View(model, {{2, 0}, {2, a}, {2, b}, {1, a}}, 0, 60, 2);
    EXPECT_EQ(view.Cell(0, 1).sent, 30u);
    EXPECT_EQ(view.Cell(0, 1).answered, 30u);
    // A's lane holds its answers from before the split; lanes of responders count no sends.
    EXPECT_EQ(view.Cell(1, 0).answered, 30u);
    EXPECT_EQ(view.Cell(1, 0).sent, 0u);
    EXPECT_EQ(view.Cell(1, 1).answered, 15u);
    EXPECT_EQ(view.Cell(2, 0).answered, 0u);
    EXPECT_EQ(view.Cell(2, 1).answered, 15u);
    EXPECT_NEAR(view.Cell(2, 1).Average(), 0.004, 1e-9);
    EXPECT_TRUE(view.Cell(3, 1).IsEmpty()); // hop 1 never split
    EXPECT_EQ(model.GetLaneTotal({2, a}).answered, 45u);
}
