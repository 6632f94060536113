// The timeline fed by a whole run of the engine: every row's lane adds up to what the list shows.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "recording/CHopwatchRecorder.h"
#include "results/CHopwatchDataRowSource.h"
#include "results/CHopwatchRecordRows.h"
#include "support/SThreadedRun.h"
#include "timeline/CHopwatchTimeline.h"
#include "timeline/timeline_rows.h"

TEST(TimelineRun, EveryRowsLaneAddsUpToTheListsFigures) {
    SThreadedRun run(100, 500, 8, 0);
    // Hop 3 never answers probes with odd sequence numbers.
    run.net.silence = [](const CFakeHopwatchNetwork::SSent& sent) {
        return sent.ttl == 3 && (sent.message[7] & 1) != 0;
    };
    run.StopAfterSends(300);
    // Fed as in the program: by the recorder's thread, the ring's one reader (no file here).
    CHopwatchTimeline model;
    CHopwatchRecorder recorder(run.data);
    recorder.AddListener(&model);
    recorder.SizeRing();
    ASSERT_TRUE(run.data.Start(L"198.51.100.9"));
    ASSERT_TRUE(recorder.Begin(CHopwatchRecorder::kNoFile, CString(), 0));
    // A reader draws and looks for events while the run goes on, as the window does.
    std::atomic<bool> ended{false};
    std::thread reader([&] {
        const STimelineLaneKey keys[3] = {{1, 0}, {3, 0}, {4, 0}};
        STimelineView view;
        NArray<STimelineEvent> events;
        DWORD omitted = 0;
        while (!ended.load()) {
            const double length = model.GetRunInfo().length;
            model.ReadView(keys, 3, 0, length + 1, 50, view);
            model.FindEvents(events, omitted);
        }
    });
    EXPECT_TRUE(run.data.m_pingWorker.WaitForEnd(20000));
    recorder.Finish();
    ended.store(true);
    reader.join();

    NArray<STimelineRow> rows;
    ASSERT_TRUE(TimelineRowsFromSource(CHopwatchDataRowSource(run.data), rows));
    ASSERT_EQ(rows.GetSize(), 5); // this computer, three routers, the target
    DWORD lost = 0;
    for (int r = 0; r < rows.GetSize(); ++r) {
        SHopwatchHost host;
        ASSERT_TRUE(run.data.GetRow(r, host, 0, TRUE));
        EXPECT_EQ(rows[r].key.hop, static_cast<DWORD>(r));
        const STimelineBucket total = model.GetLaneTotal(rows[r].key);
        EXPECT_EQ(total.sent, host.sent) << r;
        EXPECT_EQ(total.answered, host.received) << r;
        EXPECT_EQ(total.Failed(), host.lost) << r;
        EXPECT_NEAR(total.sumRtt, host.sumRtt, 1e-9) << r;
        lost += total.lost;
    }
    EXPECT_GT(model.GetLaneTotal({3, 0}).lost, 5u);
    EXPECT_EQ(lost, model.GetLaneTotal({3, 0}).lost);
    EXPECT_EQ(model.GetRunInfo().dropped, 0u);
}

TEST(TimelineRun, AnAlternativesRowShowsItsResponderAtTheHopAbove) {
    CHopwatchRecordRows source;
    ASSERT_TRUE(source.SetRowCount(5));
    const DWORD ttls[5] = {0, 1, 2, 0, 0};
    const DWORD addresses[5] = {TestIp(192, 0, 2, 10), TestIp(192, 0, 2, 1), 0,
                                TestIp(198, 51, 100, 7), kHopwatchNone};
    for (int r = 0; r < 5; ++r) {
        source.Host(r).ttl = ttls[r];
        source.Host(r).address = addresses[r];
    }
    NArray<STimelineRow> rows;
    ASSERT_TRUE(TimelineRowsFromSource(source, rows));
    ASSERT_EQ(rows.GetSize(), 5);
    EXPECT_FALSE(rows[0].alternative); // hop 0 carries TTL 0 too
    EXPECT_EQ(rows[2].key.hop, 2u);
    EXPECT_EQ(rows[2].key.responder, 0u);
    EXPECT_EQ(TimelineRowAddress(rows[2]), L"-");
    EXPECT_TRUE(rows[3].alternative);
    EXPECT_EQ(rows[3].ttl, 2u);
    EXPECT_EQ(rows[3].key.responder, TestIp(198, 51, 100, 7));
    EXPECT_EQ(TimelineRowAddress(rows[3]), L"198.51.100.7");
    EXPECT_EQ(TimelineRowAddress(rows[4]), L"-");
}
