// Restarting on a hop: which rows qualify, the question's text and the exact history promotion.
#include <gtest/gtest.h>

#include "engine/hopwatch_records.h"
#include "results/hop_restart.h"
#include "support/test_datagrams.h"

namespace {

TEST(HopRestart, OnlyALearntSingleAddressOtherThanTheTargetQualifies) {
    const DWORD target = TestIp(192, 0, 2, 1); // network byte order
    const DWORD targetHostOrder = HopwatchSwapOrder(target);
    EXPECT_TRUE(IsRestartableHop(TestIp(198, 51, 100, 1), targetHostOrder));
    EXPECT_FALSE(IsRestartableHop(target, targetHostOrder));
    EXPECT_FALSE(IsRestartableHop(0, targetHostOrder));             // a split hop's aggregate
    EXPECT_FALSE(IsRestartableHop(kHopwatchNone, targetHostOrder)); // not learnt yet
    // Before a target is known every learnt hop qualifies.
    EXPECT_TRUE(IsRestartableHop(target, kHopwatchNone));
}

TEST(HopRestart, QuestionNamesTheHostOnlyWhenItHasARealName) {
    const DWORD hop = TestIp(198, 51, 100, 23);
    EXPECT_EQ(L"Ping 198.51.100.23\r\n(a.k.a. r2.example)\r\ninstead ?",
              HopRestartQuestion(hop, L"r2.example"));
    EXPECT_EQ(L"Ping 198.51.100.23\r\ninstead ?", HopRestartQuestion(hop, L""));
    EXPECT_EQ(L"Ping 198.51.100.23\r\ninstead ?", HopRestartQuestion(hop, L" looking up"));
    // Only a leading space counts; a space inside is part of the name.
    EXPECT_EQ(L"Ping 198.51.100.23\r\n(a.k.a. a b)\r\ninstead ?", HopRestartQuestion(hop, L"a b"));
}

TEST(HopRestart, PromotionComparesExactly) {
    CNTokenList history;
    history.AddTail(L"host.example");
    history.AddTail(L"198.51.100.23");
    history.AddTail(L"other.example");
    history.AddTail(L"198.51.100.23"); // only the first equal entry goes
    PromoteHostExact(history, L"198.51.100.23");
    EXPECT_EQ(L"198.51.100.23|host.example|other.example|198.51.100.23", history.Join(L"|"));

    PromoteHostExact(history, L"Host.Example"); // another letter case is another entry
    EXPECT_EQ(L"Host.Example|198.51.100.23|host.example|other.example|198.51.100.23",
              history.Join(L"|"));

    CNTokenList empty;
    PromoteHostExact(empty, L"203.0.113.5");
    EXPECT_EQ(L"203.0.113.5", empty.Join(L"|"));
}

} // namespace
