// The wire side: schedule, slots, sweep, message, reply matching and malformed datagrams.
#include <cfloat>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/icmp_wire.h"
#include "support/SScriptedRun.h"

namespace {
const DWORD kTarget = kTestTarget;
const DWORD kLocal = kTestLocal;
const DWORD kRouter = kTestZ;

class ProbingTest : public ::testing::Test, protected SScriptedRun {};
} // namespace

TEST_F(ProbingTest, SpacingFollowsTheRouteLength) {
    ASSERT_TRUE(data.BeginRun(L"  198.51.100.9 \t"));
    EXPECT_EQ(net.ResolvedText(), L"198.51.100.9");
    EXPECT_DOUBLE_EQ(data.GetProbeSpacing(), 1.0 / 32);
    data.m_routeComplete.store(1);
    data.m_hopCount.store(11); // the target answered at hop 10
    EXPECT_DOUBLE_EQ(data.GetProbeSpacing(), 1.0 / 11);
    data.m_routeComplete.store(0);
    data.m_maxTtl.store(0); // impossible after Start's range check, but must not divide by zero
    EXPECT_DOUBLE_EQ(data.GetProbeSpacing(), 1.0 / 64);
}

TEST_F(ProbingTest, ScheduleStartsOneSpacingAfterResolveAndKeepsItsPhase) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9"));
    const std::int64_t spacing = Ticks(1.0 / 32);
    EXPECT_NEAR(data.GetWaitTime(), 1.0 / 32, 1e-6);
    net.Advance(spacing);
    EXPECT_EQ(data.GetWaitTime(), 0.0);
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_EQ(data.GetWaitTime(), 0.0); // the second probe follows without a wait
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_NEAR(data.GetWaitTime(), 1.0 / 32, 1e-6);

    // A send 2.5 spacings after its due time re-phases to the last grid time not after it, so
    // the probe after the next one waits less than a spacing.
    const std::int64_t due = data.m_curSlotTime; // the next probe's grid time
    net.Advance(spacing + spacing * 5 / 2);
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_EQ(data.m_curSlotTime, due + 2 * spacing);
    EXPECT_EQ(data.GetWaitTime(), 0.0);
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_NEAR(data.GetWaitTime(), 0.5 / 32, 1e-6);

    // A zero spacing (a coarse counter) must not reach a division: the grid follows the sends.
    net.frequency = 1;
    net.Advance(5);
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_EQ(data.m_curSlotTime, net.Now());
}

TEST_F(ProbingTest, ProbesGrowTheRouteAndHopZeroUsesAValidTtl) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 5000, 256));
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(data.SendProbe(), 0u);
    const auto sent = net.Sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].ttl, 255); // 256 hops, but the IP field ends at 255
    EXPECT_EQ(sent[0].destination, kLocal);
    EXPECT_EQ(sent[1].ttl, 1);
    EXPECT_EQ(sent[1].destination, kTarget);
    EXPECT_EQ(sent[2].ttl, 2);
    EXPECT_EQ(data.GetHopCount(), 4u);
    SHopwatchHost self;
    ASSERT_TRUE(data.GetRow(0, self, 0, TRUE));
    EXPECT_EQ(self.image, kImageLocal);
    EXPECT_EQ(self.address, kLocal);
    EXPECT_EQ(self.sent, 1u);

    // The message: 44 bytes, our id and the slot in little-endian order, checksum verifying to 0.
    const std::vector<BYTE>& message = sent[1].message;
    ASSERT_EQ(message.size(), 44u);
    EXPECT_EQ(message[0], 8);
    EXPECT_EQ(message[4] | (message[5] << 8), static_cast<int>(Id()));
    EXPECT_EQ(message[6] | (message[7] << 8), 1);
    EXPECT_EQ(IcmpChecksum(message.data(), 44), 0);
}

TEST_F(ProbingTest, WithoutALocalAddressHopZeroIsProbedOnLoopback) {
    net.local = 0;
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9"));
    data.SendProbe();
    EXPECT_EQ(net.Sent().at(0).destination, TestIp(127, 0, 0, 1));
}

TEST_F(ProbingTest, SettingsAreBroughtIntoRange) {
    data.ApplySettings(0, 0, 900, 1);
    EXPECT_EQ(data.GetIntervalMs(), 1u);
    EXPECT_EQ(data.GetTimeoutMs(), 1u);
    EXPECT_EQ(data.GetMaxTtl(), 256u);
    data.ApplySettings(500, 700, 0, 0);
    EXPECT_EQ(data.GetMaxTtl(), 1u);
    EXPECT_EQ(data.IsReverseDns(), FALSE);
}

// Slots are taken in turn, wrapping at 65535, so the next one is always the oldest probe's. While
// that probe is out, or within the grace after its time-out, nothing is sent: the worker waits
// until then instead of searching the table or polling.
TEST_F(ProbingTest, SlotsAreTakenInTurnAndABusyOneIsWaitedFor) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 2000));
    data.m_lastSlot.store(65534);
    EXPECT_EQ(data.ProbeHop(1), 65535u);
    EXPECT_EQ(data.ProbeHop(1), 0u);

    data.m_lastSlot.store(65534); // as if every slot had been taken since
    const size_t before = net.Sent().size();
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_EQ(net.Sent().size(), before);
    EXPECT_DOUBLE_EQ(data.GetWaitTime(), 2.0 + CHopwatchData::kSlotGraceSeconds);
    net.Advance(Ticks(2.0));
    EXPECT_EQ(data.SendProbe(), 0u); // timed out, counted lost, but in its grace
    EXPECT_EQ(data.m_pings[65535].state, kSlotTimedOut);
    EXPECT_EQ(net.Sent().size(), before);
    EXPECT_DOUBLE_EQ(data.GetWaitTime(), CHopwatchData::kSlotGraceSeconds);
    net.Advance(Ticks(CHopwatchData::kSlotGraceSeconds));
    EXPECT_EQ(data.GetWaitTime(), 0.0);
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_EQ(net.Sent().size(), before + 1);
    EXPECT_EQ(data.m_lastSlot.load(), 65535u);

    // A new run continues the slot numbers where the previous one stopped.
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9"));
    data.SendProbe();
    EXPECT_EQ(data.m_lastSlot.load(), 0u);
}

TEST_F(ProbingTest, SweepStopsAtTheFirstYoungProbe) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 2000));
    const DWORD first = data.ProbeHop(1);
    net.Advance(Ticks(0.5));
    const DWORD second = data.ProbeHop(1);
    net.Advance(Ticks(1.5)); // the first is exactly 2 s old: an age equal to the timeout counts
    {
        std::lock_guard<std::recursive_mutex> guard(data.m_lock);
        data.SweepTimeouts(net.Now());
    }
    EXPECT_EQ(data.m_pings[first].state, kSlotTimedOut);
    EXPECT_EQ(data.m_pings[second].state, kSlotPending);
    EXPECT_EQ(data.m_pendingHead, second);
    EXPECT_NEAR(data.GetPendingTimeLeft(), 0.5, 1e-9);
    SHopwatchHost hop;
    data.GetRow(1, hop, 0, TRUE);
    EXPECT_EQ(hop.lost, 1u);

    // While stopping nothing is sent and the wait runs to the next time-out instead of spinning.
    data.RequestStop();
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_NEAR(data.GetWaitTime(), 0.5, 1e-6);
    EXPECT_EQ(data.ReceiveReply(), 0u); // one 250 ms slice of the wait, not yet due
    EXPECT_EQ(net.lastWaitMicroseconds, 250000);
    net.Advance(Ticks(0.25));
    EXPECT_EQ(data.SendProbe(), 0u); // sweeps the last probe, then asks the workers to stop
    EXPECT_EQ(data.GetPendingTimeLeft(), -DBL_MAX);
    EXPECT_EQ(data.GetWaitTime(), 0.0);
    EXPECT_TRUE(data.m_dnsWorker.IsStopRequested());
}

TEST_F(ProbingTest, RepliesAreMatchedByIdentifierAndPendingSlot) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 1000));
    const DWORD slot = data.ProbeHop(3);
    std::vector<BYTE> shortReply = MakeIcmpError(11, 0, Id(), slot);
    shortReply.pop_back(); // 55 bytes
    ASSERT_EQ(shortReply.size(), 55u);
    data.Feed(shortReply, kRouter, net.Now());
    data.Feed(MakeEchoReply(Id() ^ 1, slot), kTarget, net.Now()); // another process's probe
    EXPECT_EQ(data.m_pings[slot].state, kSlotPending);

    net.Advance(Ticks(0.010));
    data.Feed(MakeIcmpError(11, 0, Id(), slot), kRouter, net.Now());
    EXPECT_EQ(data.m_pings[slot].state, kSlotAnswered);
    EXPECT_EQ(data.m_pings[slot].time, Ticks(0.010));
    SHopwatchHost hop;
    data.GetRow(3, hop, 0, TRUE);
    EXPECT_EQ(hop.received, 1u);
    EXPECT_DOUBLE_EQ(hop.lastRtt, 0.010);
    data.Feed(MakeIcmpError(11, 0, Id(), slot), kRouter, net.Now()); // a duplicate is dropped
    data.GetRow(3, hop, 0, TRUE);
    EXPECT_EQ(hop.received, 1u);

    // A reply to a timed-out probe is late: one probe moves from lost to received.
    const DWORD late = data.ProbeHop(3);
    net.Advance(Ticks(1.0));
    data.SendProbe(); // sweeps it
    data.GetRow(3, hop, 0, TRUE);
    EXPECT_EQ(hop.lost, 1u);
    data.Feed(MakeIcmpError(11, 0, Id(), late), kRouter, net.Now());
    data.GetRow(3, hop, 0, TRUE);
    EXPECT_EQ(hop.lost, 0u);
    EXPECT_EQ(hop.received, 2u);
    EXPECT_EQ(data.m_pings[late].state, kSlotAnswered);
}

TEST_F(ProbingTest, IpHeaderLengthIsReadFromTheDatagram) {
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9"));
    const DWORD slot = data.ProbeHop(2);
    data.Feed(MakeIcmpError(11, 0, Id(), slot, 2), kRouter, net.Now()); // 8 bytes of options
    EXPECT_EQ(data.m_pings[slot].state, kSlotAnswered);
    const DWORD echo = data.ProbeHop(2);
    data.Feed(MakeEchoReply(Id(), echo, 10), kTarget, net.Now()); // the largest header, 60 bytes
    EXPECT_EQ(data.m_pings[echo].state, kSlotAnswered);
}

TEST_F(ProbingTest, MalformedDatagramsAreDroppedWithoutReadingPastThem) {
    // Before any run the slot table is empty: a matching reply must still be harmless.
    data.Feed(MakeEchoReply(Id(), 5), kTarget, 0);
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9"));
    const DWORD slot = data.ProbeHop(1);
    const std::vector<BYTE> full = MakeIcmpError(3, 1, Id(), slot, 10);
    for (size_t length = 0; length < full.size(); ++length) {
        // Each truncation is copied to a buffer of exactly that size, so ASan sees any overread.
        std::vector<BYTE> cut(full.begin(), full.begin() + static_cast<long>(length));
        data.Feed(cut, kRouter, net.Now());
    }
    EXPECT_EQ(data.m_pings[slot].state, kSlotPending);
    std::vector<BYTE> bad = MakeEchoReply(Id(), slot);
    bad[0] = 0x44; // a header length below 20 bytes
    data.Feed(bad, kTarget, net.Now());
    bad[0] = 0x4F; // a header length beyond the datagram
    data.Feed(bad, kTarget, net.Now());
    std::vector<BYTE> other = MakeEchoReply(Id(), slot);
    other[20] = 5; // another ICMP type
    data.Feed(other, kTarget, net.Now());
    EXPECT_EQ(data.m_pings[slot].state, kSlotPending);
}

TEST_F(ProbingTest, AProbeLimitGivesEveryHopItsCountAndThenEndsTheRun) {
    data.SetProbeLimit(3);
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9"));
    // Every probe is answered at once: this computer, routers at hops 1 and 2, the target at 3.
    for (int i = 0; i < 40 && !data.IsStopRequested(); ++i) {
        const size_t before = net.Sent().size();
        ASSERT_EQ(data.SendProbe(), 0u);
        if (net.Sent().size() == before)
            continue;
        const auto sent = net.Sent();
        const auto& probe = sent.back();
        const DWORD slot = data.m_lastSlot.load();
        net.Advance(100);
        if (probe.destination == kLocal)
            data.Feed(MakeEchoReply(Id(), slot), kLocal, net.Now());
        else if (probe.ttl >= 3)
            data.Feed(MakeEchoReply(Id(), slot), kTarget, net.Now());
        else
            data.Feed(MakeIcmpError(11, 0, Id(), slot), TestIp(203, 0, 113, 10 + probe.ttl),
                      net.Now());
    }
    EXPECT_TRUE(data.IsStopRequested());
    EXPECT_EQ(net.Sent().size(), 12u); // hops 0 to 3, three probes each, and nothing more
    for (int row = 0; row < 4; ++row) {
        SHopwatchHost host;
        ASSERT_TRUE(data.GetRow(row, host, 0, TRUE));
        EXPECT_EQ(host.sent, 3u) << row;
        EXPECT_EQ(host.received, 3u) << row;
    }
    EXPECT_EQ(data.SendProbe(), 0u);
    EXPECT_EQ(net.Sent().size(), 12u);
}
