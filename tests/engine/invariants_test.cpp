// The invariant check behind the fuzz target and the threaded runs finds what it is there for.
#include <gtest/gtest.h>

#include "support/SScriptedRun.h"
#include "support/hopwatch_invariants.h"

TEST(Invariants, HoldForARunAndCatchEachKindOfDamage) {
    SScriptedRun run;
    CTestHopwatchData& data = run.data;
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 5000, 8, 0));
    data.Feed(MakeIcmpError(11, 0, run.Id(), data.ProbeHop(2)), kTestX, run.net.Now());
    data.Feed(MakeIcmpError(11, 0, run.Id(), data.ProbeHop(2)), kTestY, run.net.Now());
    const DWORD pending = data.ProbeHop(3);
    std::string why;
    ASSERT_TRUE(CheckHopwatchInvariants(data, why)) << why;

    data.m_pings[100].state = kSlotPending; // pending but not listed
    data.m_pings[100].hop = 1;
    EXPECT_FALSE(CheckHopwatchInvariants(data, why));
    EXPECT_NE(why.find("not listed"), std::string::npos) << why;
    data.m_pings[100].state = kSlotFree;

    data.m_pings[static_cast<int>(pending)].state = kSlotAnswered; // listed but answered
    EXPECT_FALSE(CheckHopwatchInvariants(data, why));
    data.m_pings[static_cast<int>(pending)].state = kSlotPending;

    data.m_hops[5].nextAlternative = 1; // alternative 1 now in two chains
    EXPECT_FALSE(CheckHopwatchInvariants(data, why));
    data.m_hops[5].nextAlternative = 7; // beyond the alternatives in use
    EXPECT_FALSE(CheckHopwatchInvariants(data, why));
    data.m_hops[5].nextAlternative = kHopwatchNone;

    data.m_hops[2].lost = 5; // received 2 + lost 5 > sent 2
    EXPECT_FALSE(CheckHopwatchInvariants(data, why));
    EXPECT_NE(why.find("hop 2"), std::string::npos) << why;
    data.m_hops[2].lost = 0;
    EXPECT_TRUE(CheckHopwatchInvariants(data, why)) << why;
}
