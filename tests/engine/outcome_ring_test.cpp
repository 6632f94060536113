// The outcome ring and the outcomes the engine hands through it.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "support/SScriptedRun.h"

namespace {

SHopwatchOutcome Outcome(WORD slot) {
    SHopwatchOutcome outcome;
    outcome.slot = slot;
    return outcome;
}

std::vector<SHopwatchOutcome> ReadAll(CHopwatchData& data, DWORD& dropped) {
    std::vector<SHopwatchOutcome> all(64);
    all.resize(data.ReadOutcomes(all.data(), static_cast<DWORD>(all.size()), dropped));
    return all;
}

} // namespace

TEST(OutcomeRing, KeepsOrderAcrossTheWrapAndCountsWhatDidNotFit) {
    CHopwatchOutcomeRing ring;
    ASSERT_TRUE(ring.Reset(3)); // rounded up to 4
    EXPECT_EQ(ring.GetCapacity(), 4u);
    SHopwatchOutcome out[8];
    DWORD dropped = 99;
    for (WORD round = 0; round < 3; ++round) {
        for (WORD i = 0; i < 6; ++i)
            ring.Push(Outcome(static_cast<WORD>(round * 10 + i)));
        ASSERT_EQ(ring.Read(out, 8, dropped), 4u);
        EXPECT_EQ(dropped, 2u);
        for (WORD i = 0; i < 4; ++i)
            EXPECT_EQ(out[i].slot, round * 10 + i);
    }
    EXPECT_EQ(ring.Read(out, 8, dropped), 0u);
    EXPECT_EQ(dropped, 0u);

    ASSERT_TRUE(ring.Reset(0)); // off: nothing is kept, nothing counted
    ring.Push(Outcome(1));
    EXPECT_EQ(ring.Read(out, 8, dropped), 0u);
    EXPECT_EQ(dropped, 0u);
}

class OutcomeTest : public ::testing::Test, protected SScriptedRun {
protected:
    OutcomeTest() {
        data.SetOutcomeCapacity(64);
        EXPECT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 5000, 32, 0));
    }
};

TEST_F(OutcomeTest, EveryProbeEndsInOneOutcomeAfterItsSend) {
    const DWORD answered = data.ProbeHop(2);
    net.Advance(3000);
    data.Feed(MakeIcmpError(11, 0, Id(), answered), kTestX, net.Now());
    const DWORD unreachable = data.ProbeHop(3);
    data.Feed(MakeIcmpError(3, 13, Id(), unreachable), kTestY, net.Now());
    const DWORD lost = data.ProbeHop(4);
    net.Advance(6000000);
    data.SweepTimeouts(net.Now());
    net.Advance(1000);
    data.Feed(MakeIcmpError(11, 0, Id(), lost), kTestZ, net.Now());

    DWORD dropped = 0;
    const std::vector<SHopwatchOutcome> got = ReadAll(data, dropped);
    EXPECT_EQ(dropped, 0u);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[0].kind, kOutcomeSent);
    EXPECT_EQ(got[0].hop, 2);
    EXPECT_EQ(got[1].kind, kOutcomeReply);
    EXPECT_EQ(got[1].slot, answered);
    EXPECT_EQ(got[1].responder, kTestX);
    EXPECT_DOUBLE_EQ(got[1].rtt, 0.003);
    EXPECT_EQ(got[1].sendTime, got[0].sendTime);
    EXPECT_EQ(got[3].kind, kOutcomeUnreachable);
    EXPECT_EQ(got[3].code, 13);
    EXPECT_TRUE(std::isnan(got[3].rtt));
    EXPECT_EQ(got[4].kind, kOutcomeSent);
    EXPECT_EQ(got[5].kind, kOutcomeLost);
    EXPECT_EQ(got[5].hop, 4);
    EXPECT_EQ(got[6].kind, kOutcomeLate);
    EXPECT_EQ(got[6].responder, kTestZ);
    EXPECT_NEAR(got[6].rtt, 6.001, 1e-9);
}
