// Events of a run: loss episodes with their hops and worst loss, and changes of a hop's responders.
#include <gtest/gtest.h>

#include "timeline/timeline_feed.h"

namespace {

using SFate = CTimelineFeed::SFate;

const DWORD kA = TestIp(198, 51, 100, 1);
const DWORD kB = TestIp(198, 51, 100, 2);

SFate Answer(DWORD hop) {
    SFate fate;
    fate.responder = CTimelineFeed::Router(hop);
    return fate;
}

std::vector<STimelineEvent> Events(const CHopwatchTimeline& model, DWORD* omitted = nullptr) {
    NArray<STimelineEvent> events;
    DWORD dropped = 0;
    EXPECT_TRUE(model.FindEvents(events, dropped));
    if (omitted != nullptr)
        *omitted = dropped;
    return std::vector<STimelineEvent>(events.GetData(), events.GetData() + events.GetSize());
}

} // namespace

TEST(TimelineEvents, ARouterDroppingForwardedProbesMakesOneEpisodeAtTheHopsBehindIt) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    feed.Run(0, 60, 4, [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop);
        if (hop >= 3 && s >= 20 && s < 40)
            fate.fate = CTimelineFeed::kLose;
        return fate;
    });
    const std::vector<STimelineEvent> events = Events(model);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, kTimelineLossEpisode);
    EXPECT_EQ(events[0].start, 20.0); // to the second, from level 0
    EXPECT_EQ(events[0].end, 40.0);
    EXPECT_FALSE(events[0].ongoing);
    EXPECT_EQ(events[0].hops.Text(), L"3-4");
    EXPECT_EQ(events[0].worstHop, 3u);
    EXPECT_EQ(events[0].worstLoss, 1.0);
}

TEST(TimelineEvents, ScatteredLossesAndHopsThatNeverAnswerMakeNoEpisode) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    feed.Run(0, 120, 4, [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop);
        if ((hop == 2 && s % 7 == 0) || hop == 3) // hop 3 is silent: it never answers
            fate.fate = CTimelineFeed::kLose;
        return fate;
    });
    EXPECT_TRUE(Events(model).empty());
}

TEST(TimelineEvents, AnEpisodeStillGoingIsOngoing) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    feed.Run(0, 60, 2, [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop);
        if (hop == 2 && s >= 40)
            fate.fate = CTimelineFeed::kLose;
        return fate;
    });
    const std::vector<STimelineEvent> events = Events(model);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].ongoing);
    EXPECT_EQ(events[0].start, 40.0);
    EXPECT_EQ(events[0].end, 60.0);
}

TEST(TimelineEvents, AChangedResponderAndASplitThatComesAndGoes) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    feed.Run(0, 120, 3, [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop);
        if (hop == 2)
            fate.responder = s < 50 ? kA : kB;
        if (hop == 3)
            fate.responder = s >= 30 && s < 80 && s % 2 == 1 ? kB : kA;
        return fate;
    });
    const std::vector<STimelineEvent> events = Events(model);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, kTimelineSplitAppears);
    EXPECT_EQ(events[0].start, 30.0);
    EXPECT_EQ(events[0].hops.Text(), L"3");
    EXPECT_EQ(events[0].before.Text(), L"198.51.100.1");
    EXPECT_EQ(events[0].after.Text(), L"198.51.100.1, 198.51.100.2");
    EXPECT_EQ(events[1].kind, kTimelineResponderChange);
    EXPECT_EQ(events[1].start, 50.0);
    EXPECT_EQ(events[1].hops.Text(), L"2");
    EXPECT_EQ(events[1].after.Text(), L"198.51.100.2");
    EXPECT_EQ(events[2].kind, kTimelineSplitGoes);
    EXPECT_EQ(events[2].start, 80.0);
    EXPECT_EQ(events[2].after.Text(), L"198.51.100.1");
}

TEST(TimelineEvents, EpisodesOlderThanTheTenSecondRingAreKeptAndTheNewestListIsBounded) {
    CHopwatchTimeline model;
    CTimelineFeed feed(model);
    // Three hours: hop 2 is out from 10:00 to 12:00; both hops from 2:55:00 to 2:56:00.
    feed.Run(0, 3 * 3600, 2, [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop);
        if ((hop == 2 && s >= 600 && s < 720) || (s >= 10500 && s < 10560))
            fate.fate = CTimelineFeed::kLose;
        return fate;
    });
    std::vector<STimelineEvent> events = Events(model);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].start, 600.0);
    EXPECT_EQ(events[0].end, 720.0);
    EXPECT_EQ(events[0].hops.Text(), L"2");
    EXPECT_EQ(events[1].start, 10500.0);
    EXPECT_EQ(events[1].end, 10560.0);
    EXPECT_EQ(events[1].hops.Text(), L"1-2");

    // 300 episodes of half a minute: the newest 256 are kept.
    CHopwatchTimeline many;
    CTimelineFeed manyFeed(many);
    manyFeed.Run(0, 300 * 60, 1, [](DWORD hop, std::int64_t s) {
        SFate fate = Answer(hop);
        if (s % 60 < 30)
            fate.fate = CTimelineFeed::kLose;
        return fate;
    });
    DWORD omitted = 0;
    events = Events(many, &omitted);
    ASSERT_EQ(events.size(), 256u);
    EXPECT_EQ(omitted, 44u);
    EXPECT_EQ(events.back().start, 299 * 60.0);
}
