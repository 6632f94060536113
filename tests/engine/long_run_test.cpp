// Runs that last: a slot table that turns over, outages, floods of foreign ICMP, a coarse system
// timer and routes that keep changing, all on the scripted network and its clock.
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/system_error_text.h"
#include "platform/icmp_socket.h"
#include "support/SThreadedRun.h"
#include "support/hopwatch_invariants.h"

namespace {

// Turns the ping worker's loop on this thread until the scripted clock has moved on by seconds;
// FALSE when a turn failed or the loop went on without moving the clock (a spin).
bool RunFor(SScriptedRun& run, double seconds) {
    const std::int64_t end = run.net.Now() + run.Ticks(seconds);
    std::int64_t last = 0;
    int still = 0;
    for (std::int64_t now = run.net.Now(); now < end; now = run.net.Now()) {
        still = now == last ? still + 1 : 0;
        last = now;
        if (run.data.ServiceWire() != 0 || still > 1000)
            return false;
    }
    return true;
}

struct SHopFigures {
    DWORD sent = 0, received = 0, lost = 0;
    CString note;
};

SHopFigures Hop(CTestHopwatchData& data, DWORD hop) {
    std::lock_guard<std::recursive_mutex> guard(data.m_lock);
    const SHopwatchHost& host = data.m_hops[static_cast<int>(hop)];
    return SHopFigures{host.sent, host.received, host.lost, host.note};
}

} // namespace

// Probes that all time out hold every slot for a time-out and its grace; the schedule never
// sends faster than the table turns over, so past 65,536 probes every one still finds its slot
// free and goes out on its grid time, with no burst, no gap and no spin.
TEST(LongRun, AllProbesTimingOutKeepTheirSpacingPastTheSlotTable) {
    SScriptedRun run;
    run.net.frequency = 1000000000; // a clock fine enough for spacings of microseconds
    ASSERT_TRUE(run.data.BeginRun(L"198.51.100.9", 1, 100, 256, 0)); // nothing answers
    const double spacing = run.data.GetProbeSpacing();
    EXPECT_GT(spacing, 0.001 / 256); // the table's turnover, not 1 ms over 256 hops
    ASSERT_TRUE(RunFor(run, 0.7));
    const auto sent = run.net.Sent();
    ASSERT_GT(sent.size(), 70000u);
    // Probes due within a quarter millisecond share a wake; every millisecond gets its share.
    const std::int64_t start = sent.front().time;
    std::vector<int> perMs(static_cast<size_t>(run.Ticks(0.7)) / 1000000 + 1, 0);
    for (const auto& probe : sent)
        ++perMs[static_cast<size_t>((probe.time - start) / 1000000)];
    for (size_t ms = 0; ms + 1 < perMs.size(); ++ms)
        ASSERT_NEAR(perMs[ms], 0.001 / spacing, 30) << "millisecond " << ms;
    std::string why;
    EXPECT_TRUE(CheckHopwatchInvariants(run.data, why)) << why;
}

// A steady inflow of foreign ICMP keeps the socket readable all the time; the worker still sends
// every probe when it is due, sweeps the time-outs and ends a graceful stop.
TEST(LongRun, AFloodOfForeignIcmpStarvesNeitherSendsNorSweeps) {
    SScriptedRun run;
    ASSERT_TRUE(run.data.BeginRun(L"198.51.100.9", 100, 500, 8, 0)); // 12.5 ms apart, no answers
    run.net.floodTicks = 50;                                         // 20,000 datagrams a second
    ASSERT_TRUE(RunFor(run, 1.0));
    const auto sent = run.net.Sent();
    EXPECT_GT(run.net.flooded, 18000);
    ASSERT_GE(sent.size(), 79u);
    for (size_t i = 2; i < sent.size(); ++i) // the second probe follows the first at once
        EXPECT_LE(std::llabs(sent[i].time - sent[i - 1].time - run.Ticks(0.0125)), 64 * 50)
            << "send " << i;
    DWORD lost = 0;
    for (DWORD hop = 0; hop < 8; ++hop)
        lost += Hop(run.data, hop).lost;
    EXPECT_GE(lost, sent.size() - 42); // all but the last half second's probes
    run.data.RequestStop();
    ASSERT_TRUE(RunFor(run, 0.6));
    EXPECT_TRUE(run.data.m_pingWorker.IsStopRequested());
    EXPECT_EQ(run.data.GetLastErrorCode(), 0u);
}

// An outage (the route gone: sends fail with "network unreachable") counts its probes lost at
// once, with the system's text as the note, and probing goes on; the hops answer again after it.
TEST(LongRun, AnOutageCountsItsProbesLostAndTheRunGoesOn) {
    SScriptedRun run;
    run.net.route = {kTestX, kTestY, kTestZ};
    run.data.SetOutcomeCapacity(4096);
    ASSERT_TRUE(run.data.BeginRun(L"198.51.100.9", 100, 500, 8, 0));
    ASSERT_TRUE(RunFor(run, 1.0)); // the route is 5 hops: each probed every 100 ms
    ASSERT_EQ(run.data.GetHopCount(), 5u);
    SHopFigures before[5];
    for (DWORD hop = 0; hop < 5; ++hop)
        before[hop] = Hop(run.data, hop);

    const DWORD unreachable = kPlatformErrorNetworkUnreachable;
    run.net.sendFault = CFakeHopwatchNetwork::SFault{unreachable, 0, -1};
    ASSERT_TRUE(RunFor(run, 1.0));
    const CString reason = SystemErrorText(unreachable, FALSE);
    for (DWORD hop = 0; hop < 5; ++hop) {
        SCOPED_TRACE(hop);
        const SHopFigures during = Hop(run.data, hop);
        EXPECT_EQ(during.note, reason);
        EXPECT_GE(during.lost - before[hop].lost, 9u);
        EXPECT_EQ(during.sent - before[hop].sent, during.lost - before[hop].lost);
        EXPECT_LE(during.received - before[hop].received, 1u); // answered before the outage
    }
    EXPECT_EQ(run.data.GetLastErrorCode(), 0u);

    run.net.sendFault = CFakeHopwatchNetwork::SFault{};
    ASSERT_TRUE(RunFor(run, 1.0));
    for (DWORD hop = 0; hop < 5; ++hop) {
        SCOPED_TRACE(hop);
        const SHopFigures after = Hop(run.data, hop);
        EXPECT_EQ(after.note, L"");
        EXPECT_GE(after.received - before[hop].received, 9u);
    }

    // Every probe, failed or not, gave one "sent" and then one ending.
    std::vector<SHopwatchOutcome> outcomes(4096);
    DWORD dropped = 0;
    const DWORD count = run.data.ReadOutcomes(outcomes.data(), 4096, dropped);
    EXPECT_EQ(dropped, 0u);
    std::vector<int> open(65536, 0);
    int lost = 0;
    for (DWORD i = 0; i < count; ++i) {
        const SHopwatchOutcome& outcome = outcomes[i];
        if (outcome.kind == kOutcomeSent) {
            EXPECT_EQ(open[outcome.slot]++, 0) << "slot " << outcome.slot;
        } else {
            EXPECT_EQ(open[outcome.slot]--, 1) << "slot " << outcome.slot;
            lost += outcome.kind == kOutcomeLost;
        }
    }
    DWORD counted = 0;
    for (DWORD hop = 0; hop < 5; ++hop)
        counted += Hop(run.data, hop).lost;
    EXPECT_EQ(static_cast<DWORD>(lost), counted);
    std::string why;
    EXPECT_TRUE(CheckHopwatchInvariants(run.data, why)) << why;
}

// Windows ends timed waits on its timer tick (15.6 ms) unless the run asks for 1 ms: the worker
// asks as its run starts and gives it back as it ends, so that 32 hops at 100 ms still get their
// probes 3.125 ms apart, not one per tick.
TEST(LongRun, PreciseWaitsKeepTheSpacingOnACoarseTimer) {
    SThreadedRun run(100, 500, 32, 0);
    run.net.route.clear(); // nothing answers: the route stays 32 hops long
    run.net.coarseTicks = run.Ticks(0.015625);
    run.net.preciseTicks = run.Ticks(0.001);
    run.StopAfterSends(120);
    ASSERT_TRUE(run.RunToTheEnd());
    EXPECT_EQ(run.net.preciseBegun, 1);
    EXPECT_EQ(run.net.preciseEnded, 1);
    const auto sent = run.net.Sent();
    ASSERT_EQ(sent.size(), 120u);
    for (size_t i = 2; i < sent.size(); ++i)
        EXPECT_LE(std::llabs(sent[i].time - sent[i - 1].time - run.Ticks(0.003125)),
                  run.Ticks(0.001))
            << "send " << i;
}

// A route that changes every few minutes for half a simulated day: its responders fill the 128
// alternative records within hours, later ones are counted in their hops' aggregates (which say
// so), and the run goes on with every reply counted.
TEST(LongRun, ARouteThatKeepsChangingForHoursNeverEndsTheRun) {
    SScriptedRun run;
    run.net.route = {kTestX, kTestY, kTestZ, TestIp(203, 0, 113, 4), TestIp(203, 0, 113, 5)};
    int changes = 0;
    int sends = 0;
    run.net.onSend = [&](const CFakeHopwatchNetwork::SSent&) {
        if (++sends % 11 != 0)
            return;
        ++changes; // the route of the next probes: a new router at one of the five hops
        run.net.route[static_cast<size_t>(changes % 5)] =
            TestIp(198, 18, static_cast<BYTE>(changes >> 8), static_cast<BYTE>(changes));
    };
    ASSERT_TRUE(run.data.BeginRun(L"198.51.100.9", 30000, 5000, 8, 0)); // two salvos a minute
    ASSERT_TRUE(RunFor(run, 12 * 3600.0));
    EXPECT_GT(changes, 900);
    EXPECT_EQ(run.data.GetLastErrorCode(), 0u);
    EXPECT_FALSE(run.data.m_pingWorker.IsStopRequested());
    EXPECT_EQ(run.data.m_altCount.load(), 128u);
    EXPECT_EQ(run.data.GetHopCount(), 7u);

    std::lock_guard<std::recursive_mutex> guard(run.data.m_lock);
    int overflowed = 0;
    for (int h = 1; h <= 5; ++h) {
        SCOPED_TRACE(h);
        const SHopwatchHost& hop = run.data.m_hops[h];
        EXPECT_EQ(hop.address, 0u);
        EXPECT_LE(hop.sent - hop.received, 1u); // every probe answered but one still out
        DWORD chained = 0;
        for (DWORD alt = hop.nextAlternative; alt != kHopwatchNone;
             alt = run.data.m_alternatives[static_cast<int>(alt)].nextAlternative)
            chained += run.data.m_alternatives[static_cast<int>(alt)].received;
        if (hop.note == CHopwatchData::kSplitOverflowNote) {
            ++overflowed;
            EXPECT_GT(hop.received, chained);
        } else {
            EXPECT_EQ(hop.received, chained);
        }
    }
    EXPECT_EQ(overflowed, 5);
    std::string why;
    EXPECT_TRUE(CheckHopwatchInvariants(run.data, why)) << why;
}
