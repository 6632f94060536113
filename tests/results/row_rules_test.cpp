// The row rules shared by the list, the CSV and the report: address, loss, lost and times.
#include <limits>

#include <gtest/gtest.h>

#include "results/row_rules.h"
#include "support/test_datagrams.h"

TEST(RowRules, AddressIsShownOnlyForASingleKnownResponder) {
    SHopwatchHost host;
    EXPECT_FALSE(HopwatchRowHasAddress(host)); // not learnt yet
    EXPECT_EQ(HopwatchRowAddressText(host), L"");
    host.address = 0; // the aggregate of a split
    host.image = kImageSplit;
    EXPECT_FALSE(HopwatchRowHasAddress(host));
    EXPECT_EQ(HopwatchRowAddressText(host), L"");
    host.address = TestIp(192, 0, 2, 7);
    host.image = kImageAnswering;
    EXPECT_EQ(HopwatchRowAddressText(host), L"192.0.2.7");
    host.image = kImageAlternative;
    EXPECT_EQ(HopwatchRowAddressText(host), L"  192.0.2.7");
}

TEST(RowRules, LossLostAndTimesNeedTheirCounters) {
    SHopwatchHost host;
    DWORD percent = 99;
    double seconds = -1.0;
    EXPECT_FALSE(HopwatchLossPercent(host, percent));
    EXPECT_FALSE(HopwatchRowShowsLost(host));
    EXPECT_FALSE(HopwatchRowTime(host, kRowTimeAvg, seconds));
    host.sent = 5; // sent, but neither a reply nor a loss yet
    EXPECT_FALSE(HopwatchLossPercent(host, percent));
    EXPECT_TRUE(HopwatchRowShowsLost(host));

    host.received = 2;
    host.lost = 1;
    host.lastRtt = 0.004;
    host.minRtt = 0.002;
    host.maxRtt = 0.004;
    host.sumRtt = 0.006;
    ASSERT_TRUE(HopwatchLossPercent(host, percent));
    EXPECT_EQ(percent, 33u);
    ASSERT_TRUE(HopwatchRowTime(host, kRowTimeAvg, seconds));
    EXPECT_DOUBLE_EQ(seconds, 0.003);
    ASSERT_TRUE(HopwatchRowTime(host, kRowTimeMin, seconds));
    EXPECT_DOUBLE_EQ(seconds, 0.002);
    host.lastRtt = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(HopwatchRowTime(host, kRowTimeLast, seconds));

    host.received = 4000000000u; // the product lost * 100 must not overflow
    host.lost = 4000000000u;
    ASSERT_TRUE(HopwatchLossPercent(host, percent));
    EXPECT_EQ(percent, 50u);
}
