// A recording read back rebuilds the same timeline as the one fed while the run went on.
#include "recording/recorded_run.h"
#include "timeline/CHopwatchTimeline.h"

TEST(TimelineReplay, ARecordingRebuildsTheLiveTimelineCellForCellWithItsEvents) {
    SRecordedRun run("timeline");
    CHopwatchTimeline live;
    run.recorder.AddListener(&live);
    run.Record(MixedRoute(7), 2000); // splits at hops 3 and 5, losses, late and unreachable answers
    run.recorder.RemoveListener(&live);
    if (HasFatalFailure())
        return;
    CHopwatchTimeline replayed;
    CRecordingReplay replay;
    CRecordingReader reader;
    SRecordingSummary summary;
    reader.ReadFile(run.path, replay, &replayed, summary);
    ASSERT_EQ(summary.status, kRecordingComplete);

    const STimelineRunInfo a = live.GetRunInfo(), b = replayed.GetRunInfo();
    ASSERT_TRUE(a.hasRun && b.hasRun);
    EXPECT_EQ(a.startTime, b.startTime);
    EXPECT_EQ(a.length, b.length);
    std::vector<STimelineLaneKey> keys;
    for (DWORD hop = 0; hop < 12; ++hop)
        keys.push_back({hop, 0});
    for (BYTE hop : {3, 5})
        for (BYTE host : {hop, static_cast<BYTE>(100 + hop)})
            keys.push_back({hop, TestIp(203, 0, 113, host)});
    STimelineView x, y;
    ASSERT_TRUE(live.ReadView(keys.data(), static_cast<int>(keys.size()), 0, a.length + 1, 40, x));
    ASSERT_TRUE(
        replayed.ReadView(keys.data(), static_cast<int>(keys.size()), 0, a.length + 1, 40, y));
    int answered = 0;
    for (int i = 0; i < x.cells.GetSize(); ++i) {
        EXPECT_EQ(x.cells[i].sent, y.cells[i].sent) << i;
        EXPECT_EQ(x.cells[i].answered, y.cells[i].answered) << i;
        EXPECT_EQ(x.cells[i].lost, y.cells[i].lost) << i;
        EXPECT_EQ(x.cells[i].unreachable, y.cells[i].unreachable) << i;
        EXPECT_EQ(x.cells[i].sumRtt, y.cells[i].sumRtt) << i;
        answered += x.cells[i].answered;
    }
    EXPECT_GT(answered, 1000);
    EXPECT_GT(live.GetLaneTotal({3, TestIp(203, 0, 113, 103)}).answered, 0u);
    NArray<STimelineEvent> liveEvents, replayedEvents;
    DWORD omitted = 0;
    ASSERT_TRUE(live.FindEvents(liveEvents, omitted));
    ASSERT_TRUE(replayed.FindEvents(replayedEvents, omitted));
    ASSERT_EQ(liveEvents.GetSize(), replayedEvents.GetSize());
    for (int i = 0; i < liveEvents.GetSize(); ++i) {
        EXPECT_EQ(liveEvents[i].kind, replayedEvents[i].kind);
        EXPECT_EQ(liveEvents[i].start, replayedEvents[i].start);
        EXPECT_EQ(liveEvents[i].hops.Text(), replayedEvents[i].hops.Text());
    }
}
