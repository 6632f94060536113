// Fast runs send the probes that fall due shortly after a send in the same wake: never late,
// never more than the window early, and ordinary runs keep one wake per probe.
#include <vector>

#include <gtest/gtest.h>

#include "support/SThreadedRun.h"

namespace {
// The window the engine coalesces within, in ticks of the scripted clock (1 us each).
constexpr std::int64_t kWindowTicks = 250;
// Each wait of the scripted loop may end a tick early: its length is truncated to microseconds.
constexpr std::int64_t kWaitTruncation = 2;

class ProbeCoalescingTest : public ::testing::Test, protected SScriptedRun {
protected:
    // The ping worker's loop on this thread until `sends` probes are out: how many probes each
    // wake sent, and the schedule time each probe was due at (the engine's grid time of the
    // probe, taken as it is sent).
    void RunLoop(size_t sends, std::vector<size_t>& perWake, std::vector<std::int64_t>& due) {
        net.onSend = [&](const CFakeHopwatchNetwork::SSent&) {
            due.push_back(data.m_prevSlotTime);
        };
        for (int turn = 0; turn < 100000 && due.size() < sends; ++turn) {
            const DWORD result = data.ReceiveReply();
            if (result == 0)
                continue;
            ASSERT_EQ(result, CHopwatchData::kWaitTimeout);
            const size_t before = due.size();
            ASSERT_EQ(data.SendDueProbes(), 0u);
            perWake.push_back(due.size() - before);
        }
        net.onSend = nullptr;
        ASSERT_GE(net.Sent().size(), sends);
    }
};
} // namespace

// 3 ms over 30 hops puts the probes 100 us apart: a wake at the due time sends that probe and the
// two due within the next 250 us, all with the time they really left; the one due 300 us on waits.
TEST_F(ProbeCoalescingTest, ProbesDueWithinTheWindowGoOutInTheSameWake) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 3, 5000, 30, 0));
    const std::int64_t start = net.Now();
    // The start: the first probe is due one spacing on, the second with it.
    net.Advance(100);
    ASSERT_EQ(data.SendDueProbes(), 0u);
    EXPECT_EQ(net.Sent().size(), 4u); // due at +100, +100, +200, +300
    EXPECT_NEAR(data.GetWaitTime(), 300e-6, 1e-9);

    net.Advance(300);
    ASSERT_EQ(data.SendDueProbes(), 0u);
    const auto sent = net.Sent();
    ASSERT_EQ(sent.size(), 7u); // due at +400, +500, +600
    for (size_t i = 4; i < 7; ++i) {
        EXPECT_EQ(sent[i].time, start + 400) << i;
        const DWORD slot = sent[i].message[6] | (static_cast<DWORD>(sent[i].message[7]) << 8);
        EXPECT_EQ(data.m_pings[static_cast<int>(slot)].time, start + 400) << i;
        EXPECT_EQ(data.m_pings[static_cast<int>(slot)].state, kSlotPending) << i;
    }
    // The probe due at +700 is outside the window: not sent early, and the grid is unchanged.
    EXPECT_NEAR(data.GetWaitTime(), 300e-6, 1e-9);
    net.Advance(299);
    EXPECT_EQ(data.ReceiveReply(), CHopwatchData::kWaitTimeout); // the wait to +700 times out
    EXPECT_EQ(net.Now(), start + 700);
    ASSERT_EQ(data.SendDueProbes(), 0u);
    EXPECT_EQ(net.Sent().size(), 10u);

    // Stopping sends nothing more, however close the next probe.
    data.RequestStop();
    net.Advance(300);
    ASSERT_EQ(data.SendDueProbes(), 0u);
    EXPECT_EQ(net.Sent().size(), 10u);
}

// A wake up to the window late (the system's wake-up latency, under load) loses no probe: the
// ones it made overdue go out with it, on their grid. A wake later than that keeps the grid's
// phase and skips the probes it missed, as ever.
TEST_F(ProbeCoalescingTest, AWakeLateWithinTheWindowLosesNoProbe) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 3, 5000, 30, 0));
    const std::int64_t start = net.Now();
    net.Advance(100);
    ASSERT_EQ(data.SendDueProbes(), 0u); // due at +100, +100, +200, +300
    std::vector<std::int64_t> due;
    net.onSend = [&](const CFakeHopwatchNetwork::SSent&) { due.push_back(data.m_prevSlotTime); };
    net.Advance(500); // +600: the probes due at +400 and +500 are overdue
    ASSERT_EQ(data.SendDueProbes(), 0u);
    EXPECT_EQ(due, (std::vector<std::int64_t>{start + 400, start + 500, start + 600, start + 700,
                                              start + 800}));
    due.clear();
    net.Advance(1000); // +1600: the probe due at +900 is 700 us late, beyond the window
    ASSERT_EQ(data.SendDueProbes(), 0u);
    EXPECT_EQ(due,
              (std::vector<std::int64_t>{start + 900, start + 1600, start + 1700, start + 1800}));
    net.onSend = nullptr;
}

// Over a long run no probe leaves after its grid time (beyond the wait's truncation) nor more than
// the window before it, and the wakes send three probes each.
TEST_F(ProbeCoalescingTest, FastRunsAreNeverLateAndNeverEarlierThanTheWindow) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 3, 5000, 30, 0));
    const std::int64_t start = net.Now();
    std::vector<size_t> perWake;
    std::vector<std::int64_t> due;
    RunLoop(3000, perWake, due);
    const auto sent = net.Sent();
    ASSERT_EQ(due.size(), sent.size());
    for (size_t i = 1; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        // The grid of the run: one probe every 100 us from the start, the second with the first.
        const std::int64_t grid = start + static_cast<std::int64_t>(i) * 100;
        ASSERT_EQ(due[i], grid);
        EXPECT_LE(sent[i].time, grid + kWaitTruncation * static_cast<std::int64_t>(i));
        EXPECT_GE(sent[i].time, grid - kWindowTicks);
    }
    // The waits lose their truncated microseconds, so the run never falls behind its grid.
    EXPECT_LE(sent.back().time, start + static_cast<std::int64_t>(sent.size() - 1) * 100);
    for (size_t wake = 1; wake < perWake.size(); ++wake)
        EXPECT_EQ(perWake[wake], 3u) << wake;
}

// At a spacing of milliseconds nothing changes: every probe has a wake of its own, at its time.
TEST_F(ProbeCoalescingTest, OrdinaryIntervalsKeepOneWakePerProbe) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 100, 1000, 30, 0));
    std::vector<size_t> perWake;
    std::vector<std::int64_t> due;
    RunLoop(200, perWake, due);
    const auto sent = net.Sent();
    ASSERT_EQ(perWake.front(), 2u); // the start: the second probe follows the first at once
    for (size_t wake = 1; wake < perWake.size(); ++wake)
        EXPECT_EQ(perWake[wake], 1u) << wake;
    for (size_t i = 1; i < sent.size(); ++i) {
        EXPECT_LE(sent[i].time, due[i]) << i;
        EXPECT_GE(sent[i].time, due[i] - kWaitTruncation) << i;
    }
}

// A counter too coarse to space the probes (0 ticks apart) cannot make one wake send forever.
TEST_F(ProbeCoalescingTest, AZeroSpacingSendsABoundedBurstPerWake) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 3, 5000, 30, 0));
    net.frequency = 1;
    ASSERT_EQ(data.SendDueProbes(), 0u);
    EXPECT_EQ(net.Sent().size(), 64u);
}

// The real worker threads on a 29-hop scripted route at 100 us spacing: fewer waits than probes,
// every probe answered and matched, with its own round-trip time.
TEST(ProbeCoalescingThreaded, EveryCoalescedProbeIsMatched) {
    SThreadedRun run(3, 500, 30, 0);
    run.net.route.clear();
    for (int k = 1; k < 29; ++k)
        run.net.route.push_back(TestIp(203, 0, 113, static_cast<BYTE>(k)));
    run.net.hopDelay = 2;
    run.StopAfterSends(3000);
    ASSERT_TRUE(run.RunToTheEnd());
    EXPECT_EQ(run.data.GetLastErrorCode(), 0u);
    EXPECT_TRUE(run.data.IsRouteComplete());
    ASSERT_EQ(run.data.GetHopCount(), 30u);
    // One wait per reply, and one per three probes: without coalescing each probe would wait too.
    EXPECT_LT(run.net.waits, 3000 + 1500);
    DWORD sent = 0;
    for (int row = 0; row < 30; ++row) {
        SCOPED_TRACE(row);
        SHopwatchHost host;
        ASSERT_TRUE(run.data.GetRow(row, host, 0xFFFFFFFF, TRUE));
        EXPECT_EQ(host.received, host.sent);
        EXPECT_EQ(host.lost, 0u);
        const double rtt = (row == 0 ? 1 : row) * 2 / 1e6;
        EXPECT_DOUBLE_EQ(host.minRtt, rtt);
        EXPECT_DOUBLE_EQ(host.maxRtt, rtt);
        sent += host.sent;
    }
    EXPECT_EQ(sent, run.net.Sent().size());
}

// Replies that are there together are read in one wake, each with its own receive time; a
// datagram too large for the buffer is skipped without ending the drain, one that arrives later
// waits for a wake of its own, and a failing read is stored like the first read's.
TEST_F(ProbeCoalescingTest, OneWakeReadsEveryReplyThatIsThere) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 5000, 30, 0));
    const DWORD slots[4] = {data.ProbeHop(1), data.ProbeHop(2), data.ProbeHop(3), data.ProbeHop(4)};
    const std::int64_t sentAt = net.Now();
    net.Advance(40);
    net.QueueDatagram(MakeIcmpError(11, 0, Id(), slots[0]), kTestX);
    net.QueueDatagram(std::vector<BYTE>(5000, 0), kTestY); // larger than the 4096-byte buffer
    net.QueueDatagram(MakeIcmpError(11, 0, Id(), slots[1]), kTestY);
    net.QueueDatagram(MakeIcmpError(11, 0, Id(), slots[2]), kTestZ);
    net.QueueDatagramAt(MakeEchoReply(Id(), slots[3]), kTestTarget, net.Now() + 30);
    const int waits = net.waits;
    EXPECT_EQ(data.ReceiveReply(), 0u);
    EXPECT_EQ(net.waits, waits + 1);
    EXPECT_EQ(net.truncated, 1);
    for (DWORD hop = 1; hop <= 4; ++hop) {
        SCOPED_TRACE(hop);
        SHopwatchHost host;
        ASSERT_TRUE(data.GetRow(static_cast<int>(hop), host, 0xFFFFFFFF, TRUE));
        EXPECT_EQ(host.received, hop < 4 ? 1u : 0u);
        if (hop < 4)
            EXPECT_DOUBLE_EQ(host.lastRtt, 40e-6);
    }
    EXPECT_EQ(data.ReceiveReply(), 0u); // the wait ends at the echo reply, 30 us on
    SHopwatchHost target;
    ASSERT_TRUE(data.GetRow(4, target, 0xFFFFFFFF, TRUE));
    EXPECT_EQ(target.received, 1u);
    EXPECT_DOUBLE_EQ(target.lastRtt, 70e-6);
    EXPECT_EQ(net.Now(), sentAt + 70);

    net.QueueDatagram(MakeEchoReply(Id(), 999), kTestTarget);
    net.QueueDatagram(MakeEchoReply(Id(), 998), kTestTarget);
    net.receiveFault = {10054, 1, 1}; // the second read fails
    EXPECT_EQ(data.ReceiveReply(), 10054u);
    EXPECT_EQ(data.GetLastErrorCode(), 10054u);
    EXPECT_EQ(data.GetErrorText(), L"Failed on raw socket recvfrom");
}
