// A recorded run read back: the same rows, figures, histories and outcomes as the live run.
#include "recorded_run.h"

#include "engine/CHopwatchHist4Show.h"
#include "recording/recording_messages.h"
#include "results/CHopwatchDataRowSource.h"

namespace {

void ExpectSameHistory(const CHopwatchRowSource& live, const CHopwatchRowSource& replayed,
                       int row) {
    CHopwatchHist4Show a;
    CHopwatchHist4Show b;
    a.wanted = b.wanted = kHistRingSize;
    live.GetRowHistory(row, a);
    replayed.GetRowHistory(row, b);
    ASSERT_EQ(a.values.GetSize(), b.values.GetSize()) << "row " << row;
    for (int i = 0; i < a.values.GetSize(); ++i)
        ASSERT_TRUE(SameDouble(a.values[i], b.values[i])) << "row " << row << " value " << i;
    EXPECT_TRUE(SameDouble(a.avg, b.avg)) << "row " << row;
}

// Every row the list shows, field by field, with its history window and the column maxima.
void ExpectSameRows(const CHopwatchRowSource& live, const CHopwatchRowSource& replayed) {
    ASSERT_EQ(live.GetVisibleRows(), replayed.GetVisibleRows());
    for (int r = 0; r < static_cast<int>(live.GetVisibleRows()); ++r) {
        SHopwatchHost a;
        SHopwatchHost b;
        ASSERT_TRUE(live.GetRow(r, a, 0, TRUE));
        ASSERT_TRUE(replayed.GetRow(r, b, 0, TRUE));
        EXPECT_EQ(a.ttl, b.ttl) << "row " << r;
        EXPECT_EQ(a.image, b.image) << "row " << r;
        EXPECT_EQ(a.address, b.address) << "row " << r;
        EXPECT_EQ(a.name, b.name) << "row " << r;
        EXPECT_EQ(a.note, b.note) << "row " << r;
        EXPECT_EQ(a.sent, b.sent) << "row " << r;
        EXPECT_EQ(a.received, b.received) << "row " << r;
        EXPECT_EQ(a.lost, b.lost) << "row " << r;
        EXPECT_TRUE(SameDouble(a.lastRtt, b.lastRtt)) << "row " << r;
        EXPECT_TRUE(SameDouble(a.minRtt, b.minRtt)) << "row " << r;
        EXPECT_TRUE(SameDouble(a.sumRtt, b.sumRtt)) << "row " << r; // same order of additions
        EXPECT_TRUE(SameDouble(a.maxRtt, b.maxRtt)) << "row " << r;
        EXPECT_TRUE(SameDouble(a.squaredDeviations, b.squaredDeviations)) << "row " << r;
        EXPECT_TRUE(SameDouble(a.jitterSum, b.jitterSum)) << "row " << r;
        ExpectSameHistory(live, replayed, r);
    }
    SHopwatchColumnMaxima a;
    SHopwatchColumnMaxima b;
    a.version = b.version = kHopwatchNone;
    live.GetColumnMaxima(a);
    replayed.GetColumnMaxima(b);
    EXPECT_EQ(a.sent, b.sent);
    EXPECT_EQ(a.lost, b.lost);
    EXPECT_TRUE(SameDouble(a.avgRtt, b.avgRtt));
    EXPECT_TRUE(SameDouble(a.maxRtt, b.maxRtt));
}

} // namespace

TEST(Replay, RebuildsTheRowsOfSplitLossyAndUnreachableRoutesExactly) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        SCOPED_TRACE(seed);
        SRecordedRun run;
        run.Record(MixedRoute(seed), 700);
        if (HasFatalFailure())
            return;
        CRecordingReplay replay;
        SOutcomeLog replayed;
        const SRecordingSummary summary = ReadRecording(run.path, replay, replayed);
        ASSERT_EQ(summary.status, kRecordingComplete);
        EXPECT_EQ(summary.title, L"198.51.100.9");
        EXPECT_EQ(summary.targetAddress, kTestTarget);
        EXPECT_EQ(summary.header.maxTtl, 12u);
        EXPECT_EQ(summary.header.timeoutMs, 1000u);
        EXPECT_EQ(summary.dropped, 0u);
        CHopwatchRecordRows rows;
        ASSERT_TRUE(replay.BuildRows(rows));
        ExpectSameRows(CHopwatchDataRowSource(run.data), rows);

        // The listener of a replay hears what the live listener heard, in the same order.
        EXPECT_EQ(replayed.starts, 1);
        EXPECT_EQ(replayed.frequency, run.live.frequency);
        ASSERT_EQ(replayed.all.size(), run.live.all.size());
        for (size_t i = 0; i < run.live.all.size(); ++i) {
            const SHopwatchOutcome& a = run.live.all[i];
            const SHopwatchOutcome& b = replayed.all[i];
            ASSERT_TRUE(a.kind == b.kind && a.slot == b.slot && a.hop == b.hop &&
                        a.responder == b.responder && a.code == b.code &&
                        a.sendTime == b.sendTime && SameDouble(a.rtt, b.rtt))
                << "outcome " << i;
        }
    }
}

TEST(Replay, CountsWhatTheRingDroppedAndSaysSo) {
    SRecordedRun run;
    // A ring of 8 for this run, filled before the recorder reads it.
    run.data.SetOutcomeCapacity(8);
    ASSERT_TRUE(run.data.BeginRun(L"198.51.100.9", 100, 1000, 8, 0));
    CRouteDriver driver(run, MixedRoute(7));
    driver.Send(20);
    ASSERT_TRUE(run.recorder.Begin(CHopwatchRecorder::kToFile, run.path, 0));
    driver.Send(3);
    driver.Finish();
    run.recorder.Finish();
    ASSERT_GT(run.recorder.GetDropped(), 0u);
    EXPECT_EQ(run.live.dropped, run.recorder.GetDropped());

    CRecordingReplay replay;
    SOutcomeLog replayed;
    const SRecordingSummary summary = ReadRecording(run.path, replay, replayed);
    EXPECT_EQ(summary.status, kRecordingComplete);
    EXPECT_EQ(summary.dropped, run.recorder.GetDropped());
    EXPECT_EQ(replayed.dropped, run.recorder.GetDropped());
    EXPECT_NE(RecordingReadText(summary, run.path, L"\n").find(L"never reached the recording"),
              CString::npos);
}

// A route that keeps changing: hop 2 answers from a new router every time, hop 4 from one of
// two, and the unreachable answers of hop 3 split it too. Once the 128 alternative records are
// taken, hop 2's new routers count in its aggregate only; the replay counts the records as the
// engine does and shows the same rows and notes.
TEST(Replay, RebuildsARouteThatOutgrewTheAlternativeRecords) {
    SRecordedRun run;
    auto probes = std::make_shared<std::uint64_t>(0);
    run.Record(
        [probes](DWORD hop, std::uint64_t) {
            SRouteAnswer answer;
            answer.answered = true;
            answer.source = TestIp(203, 0, 113, static_cast<BYTE>(hop));
            if (hop == 0) {
                answer.type = 0;
                answer.source = kTestLocal;
            } else if (hop >= 6) {
                answer.type = 0;
                answer.source = kTestTarget;
            } else if (hop == 2) {
                ++*probes;
                answer.source =
                    TestIp(198, 18, static_cast<BYTE>(*probes >> 8), static_cast<BYTE>(*probes));
            } else if (hop == 3 && *probes % 3 == 0) {
                answer.type = 3;
                answer.source = TestIp(198, 51, 100, 77);
            } else if (hop == 4 && *probes % 2 == 0) {
                answer.source = TestIp(203, 0, 113, 104);
            }
            return answer;
        },
        1400);
    if (HasFatalFailure())
        return;
    ASSERT_EQ(run.data.GetLastErrorCode(), 0u);
    SHopwatchHost hop2;
    ASSERT_TRUE(CHopwatchDataRowSource(run.data).GetRow(2, hop2, 0, TRUE));
    ASSERT_EQ(hop2.note, CHopwatchData::kSplitOverflowNote);
    CRecordingReplay replay;
    SOutcomeLog replayed;
    ASSERT_EQ(ReadRecording(run.path, replay, replayed).status, kRecordingComplete);
    CHopwatchRecordRows rows;
    ASSERT_TRUE(replay.BuildRows(rows));
    ExpectSameRows(CHopwatchDataRowSource(run.data), rows);
}
