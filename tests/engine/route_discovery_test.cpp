// Route discovery: splits into alternatives, the target ending the route, unreachable notes, rows.
#include <algorithm>
#include <cfloat>

#include <gtest/gtest.h>

#include "support/SScriptedRun.h"
#include "support/held_lookups.h"
#include "support/hopwatch_invariants.h"

namespace {
const DWORD kTarget = kTestTarget;
const DWORD kX = kTestX;
const DWORD kY = kTestY;
const DWORD kZ = kTestZ;

class RouteTest : public ::testing::Test, protected SScriptedRun {
protected:
    // Reverse lookups are on and the DNS worker runs, as in a real run; its lookups are held, so
    // the names stay pending for the whole test.
    RouteTest() {
        EXPECT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 5000, 32, 1));
        HoldLookups();
        data.m_dnsWorker.SetLookupFunction(&HeldLookup);
        EXPECT_TRUE(data.m_dnsWorker.Start());
    }
    ~RouteTest() override {
        ReleaseHeldLookups();
        data.m_dnsWorker.Stop();
    }
    // Probes a hop and answers it with a time-exceeded from a responder after ms milliseconds.
    DWORD Answer(DWORD hop, DWORD responder, int ms = 5, BYTE type = 11, BYTE code = 0) {
        const DWORD slot = data.ProbeHop(hop);
        net.Advance(ms * 1000);
        const std::vector<BYTE> datagram =
            type == 0 ? MakeEchoReply(Id(), slot) : MakeIcmpError(type, code, Id(), slot);
        data.Feed(datagram, responder, net.Now());
        return slot;
    }
    SHopwatchHost Row(int row) {
        SHopwatchHost host;
        EXPECT_TRUE(data.GetRow(row, host, 0xFFFFFFFF, TRUE));
        return host;
    }
};
} // namespace

TEST_F(RouteTest, ASecondAndThirdResponderSplitTheHop) {
    Answer(3, kX, 4);
    SHopwatchHost hop = Row(3);
    EXPECT_EQ(hop.address, kX);
    EXPECT_EQ(hop.name, kHopwatchLookingUp);
    EXPECT_EQ(hop.image, kImageAnswering);
    EXPECT_EQ(hop.received, 1u);

    Answer(3, kY, 8);
    EXPECT_EQ(data.Rows(), (std::vector<DWORD>{0, 1, 2, 3, kHopwatchAltRowFlag | 1,
                                               kHopwatchAltRowFlag | 0, 4, 5}));
    hop = Row(3);
    EXPECT_EQ(hop.address, 0u);
    EXPECT_EQ(hop.image, kImageSplit);
    EXPECT_EQ(hop.name, L"* 2 alternative routes *");
    EXPECT_EQ(hop.sent, 2u);
    EXPECT_EQ(hop.received, 2u);
    EXPECT_DOUBLE_EQ(hop.maxRtt, 0.008);
    const SHopwatchHost y = Row(4);
    EXPECT_EQ(y.address, kY);
    EXPECT_EQ(y.image, kImageAlternative);
    EXPECT_EQ(y.received, 1u);
    const SHopwatchHost x = Row(5);
    EXPECT_EQ(x.address, kX);
    EXPECT_EQ(x.ttl, 0u);
    EXPECT_EQ(x.received, 1u); // what hop 3 had before the split
    EXPECT_DOUBLE_EQ(x.minRtt, 0.004);
    EXPECT_EQ(x.sent, 0u);
    EXPECT_EQ(x.lost, 0u);

    Answer(3, kZ);
    EXPECT_EQ(Row(3).name, L"* 3 alternative routes *");
    EXPECT_EQ(Row(4).address, kZ); // the newest responder heads the chain
    Answer(3, kX);                 // a known responder: no new record
    EXPECT_EQ(Row(3).name, L"* 3 alternative routes *");
    EXPECT_EQ(Row(6).received, 2u);

    // The history of the alternatives that did not answer shows nothing for that probe.
    CHopwatchHist4Show show;
    show.wanted = 1;
    ASSERT_EQ(data.GetRowHistory(4, show), 1);
    EXPECT_EQ(show.values[0], -2.0);
    ASSERT_EQ(data.GetRowHistory(6, show), 1);
    EXPECT_EQ(show.values[0], 0.005);
}

// The versions a split gives its records keep them apart from any version a reader cached, and
// every record of the chain gets the outcome of every probe of the hop.
TEST_F(RouteTest, SplitRecordsGetDistinctVersionsAndTheWholeChainsHistory) {
    Answer(3, kX);
    const DWORD split = data.ProbeHop(3);
    const DWORD version = data.m_hops[3].version;
    net.Advance(3000);
    data.Feed(MakeIcmpError(11, 0, Id(), split), kY, net.Now());
    EXPECT_EQ(data.m_alternatives[0].version, version + 0xDEADBEEFu);     // X, copied from the hop
    EXPECT_EQ(data.m_alternatives[1].version, version - 0x45123F22u + 1); // Y, then its reply
    EXPECT_EQ(data.m_hops[3].version, version + 1);
    auto flags = [&](CHopwatchHistory& history, DWORD slot) {
        const SHopwatchHistEntry* entry = history.Find(slot);
        return entry != nullptr ? entry->flags : 0u;
    };
    EXPECT_EQ(flags(data.m_altHistories[0], split), 0u); // X's history starts after the split
    EXPECT_EQ(flags(data.m_altHistories[1], split), split | kHistInUse | kHistReceived);

    // Sent: awaiting everywhere; timed out: no reply everywhere; a late answer from X: X's time
    // and the probe moves from lost back to received.
    const DWORD slot = data.ProbeHop(3);
    for (CHopwatchHistory* history :
         {&data.m_hopHistories[3], &data.m_altHistories[0], &data.m_altHistories[1]})
        EXPECT_EQ(flags(*history, slot), slot | kHistInUse | kHistAwaiting);
    net.Advance(Ticks(5.0));
    data.SendProbe();
    for (CHopwatchHistory* history :
         {&data.m_hopHistories[3], &data.m_altHistories[0], &data.m_altHistories[1]})
        EXPECT_EQ(flags(*history, slot), slot | kHistInUse);
    EXPECT_EQ(Row(3).lost, 1u);
    data.Feed(MakeIcmpError(11, 0, Id(), slot), kX, net.Now());
    EXPECT_EQ(flags(data.m_altHistories[0], slot), slot | kHistInUse | kHistReceived);
    EXPECT_EQ(flags(data.m_altHistories[1], slot), slot | kHistInUse);
    EXPECT_EQ(Row(3).lost, 0u);
    EXPECT_EQ(data.m_alternatives[0].received, 2u);
}

TEST_F(RouteTest, TheTargetEndsTheRoute) {
    data.m_hopCount.store(20);
    Answer(7, kTarget, 5, 0);
    EXPECT_TRUE(data.IsRouteComplete());
    EXPECT_EQ(data.GetHopCount(), 8u);
    EXPECT_EQ(Row(7).image, kImageTarget);
    EXPECT_DOUBLE_EQ(data.GetProbeSpacing(), 1.0 / 8);

    // Hop 0 keeps its own image on a reply with a time.
    Answer(0, kTestLocal, 1, 0);
    EXPECT_EQ(Row(0).image, kImageLocal);
    EXPECT_EQ(Row(0).received, 1u);

    // A probe still out for a hop beyond the cut is dropped when answered.
    data.m_hopCount.store(12);
    const DWORD slot = data.ProbeHop(10);
    data.m_hopCount.store(8);
    data.Feed(MakeIcmpError(11, 0, Id(), slot), kX, net.Now());
    EXPECT_EQ(data.m_pings[slot].state, kSlotFree);
}

// At short intervals the target's answers to the probes past its distance may be read before the
// one to its own distance. The route ends at the nearest of them whatever their order, and stays
// there: rows past it go and the salvo takes no probes for them.
TEST_F(RouteTest, TheRouteEndsAtTheTargetsNearestAnswerWhenAnswersComeReordered) {
    std::vector<DWORD> slots;
    for (DWORD hop = 1; hop <= 7; ++hop)
        slots.push_back(data.ProbeHop(hop));
    for (DWORD hop = 7; hop >= 5; --hop) // the target is 5 hops away; its answers come reversed
        net.QueueDatagram(MakeEchoReply(Id(), slots[hop - 1]), kTarget);
    net.QueueDatagram(MakeIcmpError(11, 0, Id(), slots[3]), kZ);
    ASSERT_EQ(data.ReceiveReply(), 0u); // reads all four in one wake
    EXPECT_TRUE(data.IsRouteComplete());
    EXPECT_EQ(data.GetHopCount(), 6u);
    EXPECT_EQ(Row(5).image, kImageTarget);
    EXPECT_EQ(Row(5).received, 1u);
    EXPECT_EQ(data.Rows(), (std::vector<DWORD>{0, 1, 2, 3, 4, 5}));
    EXPECT_DOUBLE_EQ(data.GetProbeSpacing(), 1.0 / 6);
}

TEST_F(RouteTest, UnreachableRepliesSetTheNoteAndCountAsLost) {
    EXPECT_EQ(CHopwatchData::GetUnreachableText(13),
              L"Communication administratively prohibited by filtering");
    EXPECT_EQ(CHopwatchData::GetUnreachableText(0), L"Network Unreachable");
    EXPECT_EQ(CHopwatchData::GetUnreachableText(200), L"Host unreachable (code 200)");
    EXPECT_EQ(CHopwatchData::GetUnreachableText(255), L"Host unreachable (code 255)");

    // First answer at hop 4 is unreachable: no single address, one lost, no lookup.
    Answer(4, kX, 5, 3, 13);
    SHopwatchHost hop = Row(4);
    EXPECT_EQ(hop.address, 0u);
    EXPECT_EQ(hop.note, L"Communication administratively prohibited by filtering");
    EXPECT_EQ(hop.lost, 1u);
    EXPECT_EQ(hop.received, 0u);
    EXPECT_EQ(hop.image, kImageNoAnswer);
    EXPECT_TRUE(hop.name.empty());
    // A later time-exceeded from X adds X's record to the hop, and clears the note.
    Answer(4, kX);
    hop = Row(4);
    EXPECT_EQ(hop.name, L"* 1 alternative routes *");
    EXPECT_EQ(hop.image, kImageSplit);
    EXPECT_EQ(hop.received, 1u);
    EXPECT_TRUE(hop.note.empty());
    EXPECT_EQ(Row(5).address, kX);

    // Unreachable at a hop known as Y splits it into Y and an address-0 record without lookup.
    Answer(2, kY);
    Answer(2, kZ, 5, 3, 200);
    hop = Row(2);
    EXPECT_EQ(hop.note, L"Host unreachable (code 200)");
    EXPECT_EQ(hop.lost, 1u);
    const SHopwatchHost none = Row(3);
    EXPECT_EQ(none.address, 0u);
    EXPECT_TRUE(none.name.empty());
    EXPECT_EQ(Row(4).address, kY);
}

// An unreachable reply ends its probe: every history it touches records "no reply", never the
// awaiting mark, which no time-out would clear once the slot has left the pending list.
TEST_F(RouteTest, UnreachableRepliesLeaveNoAwaitingMark) {
    auto flags = [](CHopwatchHistory& history, DWORD slot) {
        const SHopwatchHistEntry* entry = history.Find(slot);
        return entry != nullptr ? entry->flags : 0u;
    };
    const DWORD first = Answer(4, kX, 5, 3, 13);
    EXPECT_EQ(flags(data.m_hopHistories[4], first), first | kHistInUse);

    // At a split hop: the hop and every alternative of its chain, none of which answered.
    Answer(2, kX);
    Answer(2, kY);
    const DWORD split = Answer(2, kZ, 5, 3, 1);
    ASSERT_EQ(data.m_altCount.load(), 2u);
    EXPECT_EQ(flags(data.m_hopHistories[2], split), split | kHistInUse);
    for (int alt = 0; alt < 2; ++alt)
        EXPECT_EQ(flags(data.m_altHistories[alt], split), split | kHistInUse)
            << "alternative " << alt;

    // The windows show it as a probe without a usable reply: hop 4, hop 2 and its alternatives.
    const std::vector<DWORD> rows = data.Rows();
    CHopwatchHist4Show show;
    show.wanted = 8;
    int checked = 0;
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row] != 2 && rows[row] != 4 && (rows[row] & kHopwatchAltRowFlag) == 0)
            continue;
        show.version = 0;
        ASSERT_EQ(data.GetRowHistory(static_cast<int>(row), show), 1);
        EXPECT_EQ(show.values[0], -2.0) << "row " << row;
        ++checked;
    }
    EXPECT_EQ(checked, 4);
}

// A run that lasts sees routes change again and again: once the 128 records are taken, new
// responders are counted in their hop's aggregate, which says so in its note, and the run goes on.
TEST_F(RouteTest, RunningOutOfAlternativesCountsNewRespondersInTheAggregate) {
    data.m_hopCount.store(32);
    // 63 rounds of two new responders at hops 1 to 30 take two records each, one more makes 127.
    for (DWORD i = 0; i < 63; ++i) {
        const DWORD hop = 1 + i % 30;
        Answer(hop, TestIp(203, 0, 113, static_cast<BYTE>(i * 2 + 1)));
        Answer(hop, TestIp(203, 0, 113, static_cast<BYTE>(i * 2 + 2)));
    }
    Answer(1, TestIp(198, 51, 100, 201));
    EXPECT_EQ(data.m_altCount.load(), 127u);

    // Hop 31 splits: its first responder takes the last record, the second is counted in the
    // aggregate only.
    Answer(31, kX);
    Answer(31, kY);
    EXPECT_EQ(data.m_altCount.load(), 128u);
    const std::vector<DWORD> rows = data.Rows();
    ASSERT_EQ(rows[rows.size() - 2], 31u);
    EXPECT_EQ(rows.back(), kHopwatchAltRowFlag | 127);
    SHopwatchHost hop = Row(static_cast<int>(rows.size()) - 2);
    EXPECT_EQ(hop.address, 0u);
    EXPECT_EQ(hop.image, kImageSplit);
    EXPECT_EQ(hop.name, L"* 1 alternative routes *");
    EXPECT_EQ(hop.note, CHopwatchData::kSplitOverflowNote);
    EXPECT_EQ(hop.received, 2u);
    const SHopwatchHost first = Row(static_cast<int>(rows.size()) - 1);
    EXPECT_EQ(first.address, kX);
    EXPECT_EQ(first.received, 1u);

    // A hop split already: an unreachable answer shows its own note, the next reply the
    // overflow's again.
    Answer(2, TestIp(198, 51, 100, 202), 5, 3, 1);
    Answer(2, TestIp(198, 51, 100, 203));
    EXPECT_EQ(data.m_altCount.load(), 128u);
    // Hop 0 with no record left at all becomes an aggregate of its own.
    Answer(0, kTestLocal, 1, 0);
    Answer(0, kZ, 1, 0);
    EXPECT_EQ(data.Rows(), rows);
    hop = Row(0);
    EXPECT_EQ(hop.address, 0u);
    EXPECT_EQ(hop.image, kImageSplit);
    EXPECT_EQ(hop.received, 2u);
    EXPECT_EQ(hop.note, CHopwatchData::kSplitOverflowNote);
    for (DWORD h = 0; h < 3; ++h) {
        SHopwatchHost record;
        ASSERT_TRUE(
            data.GetRow(static_cast<int>(std::find(rows.begin(), rows.end(), h) - rows.begin()),
                        record, 0xFFFFFFFF, TRUE));
        EXPECT_EQ(record.note, h == 1 ? L"" : CHopwatchData::kSplitOverflowNote) << "hop " << h;
    }
    EXPECT_EQ(data.GetLastErrorCode(), 0u);
    EXPECT_FALSE(data.m_dnsWorker.IsStopRequested());
    std::string why;
    EXPECT_TRUE(CheckHopwatchInvariants(data, why)) << why;
}

TEST_F(RouteTest, VisibleRowsEndTwoRowsAfterTheLastAnsweringHop) {
    EXPECT_EQ(data.GetVisibleRows(), 1u);
    EXPECT_EQ(data.Rows(), std::vector<DWORD>{0});
    data.m_hopCount.store(6);
    data.m_routeComplete.store(1); // probes no longer grow the route; only answers do
    Answer(0, kTestLocal, 1, 0);
    Answer(1, kX);
    Answer(2, kY);
    EXPECT_EQ(data.GetVisibleRows(), 5u); // hops 0 to 4
    Answer(3, kX);
    Answer(3, kY);
    Answer(3, kZ);
    // Rows: hops 0-3, three alternatives, hops 4-5; shown up to two rows after hop 3.
    EXPECT_EQ(data.GetVisibleRows(), 6u);
    Answer(5, kZ); // an answer from the last hop in use extends the route by one
    EXPECT_EQ(data.GetHopCount(), 7u);
    EXPECT_EQ(data.GetVisibleRows(), 10u);
}

TEST_F(RouteTest, SnapshotsCopyOnlyWhatChanged) {
    Answer(1, kX, 3);
    SHopwatchHost host;
    ASSERT_TRUE(data.GetRow(1, host, 0, FALSE));
    const DWORD version = host.version;
    host.address = 0;
    EXPECT_FALSE(data.GetRow(1, host, version, FALSE));
    EXPECT_EQ(host.address, 0u); // untouched
    EXPECT_TRUE(data.GetRow(1, host, version, TRUE));
    EXPECT_EQ(host.address, kX);
    EXPECT_FALSE(data.GetRow(-1, host, 0, TRUE));
    EXPECT_FALSE(data.GetRow(1000, host, 0, TRUE));

    SHopwatchColumnMaxima maxima;
    ASSERT_TRUE(data.GetColumnMaxima(maxima));
    EXPECT_EQ(maxima.version, data.GetDataVersion());
    EXPECT_EQ(maxima.received, 1u);
    EXPECT_DOUBLE_EQ(maxima.avgRtt, 0.003);
    maxima.sent = 99;
    EXPECT_FALSE(data.GetColumnMaxima(maxima));
    EXPECT_EQ(maxima.sent, 99u);

    CString title;
    EXPECT_EQ(data.GetTitle(title, 0), 0); // typed text equals the dotted address: no change
    EXPECT_TRUE(title.empty());
}
