// The ping worker's wait/send loop on the scripted network and clock: no root, no real time.
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/SThreadedRun.h"
#include "support/hopwatch_invariants.h"

// A whole run of the real worker threads: replies arrive as datagrams and go through the real
// read path; the route is found, every probe is answered, the schedule keeps its grid and the
// graceful stop leaves nothing awaiting and no marker names.
TEST(PingLoop, ProbesTheScriptedRouteOnItsScheduleAndStopsGracefully) {
    SThreadedRun run(100, 500, 8, 1);
    CTestHopwatchData& data = run.data;
    run.StopAfterSends(60);
    ASSERT_TRUE(run.RunToTheEnd());
    EXPECT_EQ(data.GetLastErrorCode(), 0u);
    EXPECT_EQ(data.m_pingWorker.GetExitCode(), 0u);
    const DWORD dnsExit = data.m_dnsWorker.GetExitCode(); // 1223: stopped with lookups queued
    EXPECT_TRUE(dnsExit == 0 || dnsExit == CHopwatchData::kErrorCancelled) << dnsExit;
    EXPECT_GE(run.net.waits, 60);

    // The target answers four hops away: the route is hops 0 to 4.
    EXPECT_TRUE(data.IsRouteComplete());
    ASSERT_EQ(data.GetHopCount(), 5u);
    const DWORD responders[5] = {kTestLocal, kTestX, kTestY, kTestZ, kTestTarget};
    CHopwatchHist4Show show;
    show.wanted = 64;
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row);
        SHopwatchHost host;
        ASSERT_TRUE(data.GetRow(row, host, 0xFFFFFFFF, TRUE));
        EXPECT_EQ(host.address, responders[row]);
        EXPECT_GT(host.sent, 0u);
        EXPECT_EQ(host.received, host.sent);
        EXPECT_EQ(host.lost, 0u);
        const double rtt = (row == 0 ? 1 : row) * run.net.hopDelay / 1e6;
        EXPECT_DOUBLE_EQ(host.minRtt, rtt);
        EXPECT_DOUBLE_EQ(host.maxRtt, rtt);
        EXPECT_NE(host.name, kHopwatchLookingUp);
        show.version = 0; // rows may share a history version
        ASSERT_EQ(data.GetRowHistory(row, show), 1);
        EXPECT_EQ(show.values.GetSize(), static_cast<int>(host.sent));
        for (int i = 0; i < show.values.GetSize(); ++i)
            EXPECT_DOUBLE_EQ(show.values[i], rtt) << "value " << i;
    }
    EXPECT_EQ(data.GetVisibleRows(), 5u);

    // Once the route is complete, the probes are 100 ms / 5 apart, give or take the microsecond
    // that each wait loses to truncation.
    const auto sent = run.net.Sent();
    ASSERT_EQ(sent.size(), 60u);
    const std::int64_t spacing = run.Ticks(0.1 / 5);
    for (size_t i = 30; i < sent.size(); ++i)
        EXPECT_LE(std::llabs(sent[i].time - sent[i - 1].time - spacing), 2) << "send " << i;

    std::string why;
    EXPECT_TRUE(CheckHopwatchInvariants(data, why)) << why;
    EXPECT_EQ(data.m_pendingHead, kHopwatchNone);
}
