// Colour blend, statistics ramp and time colour of the results list cells.
#include <gtest/gtest.h>

#include <limits>

#include "results/hopwatch_colors.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}

TEST(HopwatchColors, BlendTruncatesEachChannelTowardsZeroAndClampsT) {
    // Rising channel: 0 + trunc(127.5) = 127; falling channel: 255 + trunc(-127.5) = 128.
    EXPECT_EQ(0x7F807Fu, BlendColor(0x00FF00, 0xFF00FF, 0.5));
    EXPECT_EQ(0x123456u, BlendColor(0x123456, 0xABCDEF, -3.0));
    EXPECT_EQ(0xABCDEFu, BlendColor(0x123456, 0xABCDEF, 7.0));
    EXPECT_EQ(0x123456u, BlendColor(0x123456, 0xABCDEF, kNaN));
}

TEST(HopwatchColors, StatisticsRampRunsGreenYellowRed) {
    EXPECT_EQ(0x99FF99u, StatisticsColor(0.0));
    EXPECT_EQ(0x66FFFFu, StatisticsColor(0.5));
    EXPECT_EQ(0x9999FFu, StatisticsColor(1.0));
    EXPECT_EQ(0x9999FFu, StatisticsColor(4.0));
    EXPECT_EQ(0x99FF99u, StatisticsColor(-0.1));
    EXPECT_EQ(0xFFFFFFu, StatisticsColor(kNaN));
    // Between the stops: blue 153 -> 102 falls by trunc(25.5), green 255 -> 153 by trunc(51).
    EXPECT_EQ(0x80FFCCu, StatisticsColor(0.25));
    EXPECT_EQ(0x7FCCFFu, StatisticsColor(0.75));
    // The graph's ramp uses other stops through the same arithmetic.
    EXPECT_EQ(0x333399u, RampColor(0x66CCCC, 0x333399, 1.0));
}

TEST(HopwatchColors, TimeColorIsWhiteWithoutAUsableMaximum) {
    EXPECT_EQ(0xFFFFFFu, TimeColor(0.01, 0.0));
    EXPECT_EQ(0xFFFFFFu, TimeColor(0.01, -1.0));
    EXPECT_EQ(0xFFFFFFu, TimeColor(kNaN, 0.02));
    EXPECT_EQ(0xFFFFFFu, TimeColor(0.01, kNaN));
    EXPECT_EQ(0x66FFFFu, TimeColor(0.01, 0.02));
    EXPECT_EQ(0x9999FFu, TimeColor(0.02, 0.02));
}
