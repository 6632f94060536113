// Area, column count and per-value columns of the history bar graph.
#include <gtest/gtest.h>

#include <limits>

#include "results/history_graph.h"
#include "results/hopwatch_colors.h"

TEST(HistoryGraph, AreaLeavesTheGridLineAndAMarginAndRefusesEmptyCells) {
    SPixelRect area;
    ASSERT_TRUE(HistoryGraphArea({100, 20, 200, 37}, area));
    EXPECT_EQ((SPixelRect{102, 22, 198, 34}), area);
    // Six pixels wide leaves 2, five leave 1, four leave none; the same for the height plus one.
    EXPECT_TRUE(HistoryGraphArea({0, 0, 5, 6}, area));
    EXPECT_EQ(1, area.Width());
    EXPECT_EQ(1, area.Height());
    EXPECT_FALSE(HistoryGraphArea({0, 0, 4, 20}, area));
    EXPECT_FALSE(HistoryGraphArea({0, 0, 20, 5}, area));
    EXPECT_FALSE(HistoryGraphArea({50, 0, 10, 20}, area));
}

TEST(HistoryGraph, ShowsTheNewestOutcomesThatFitWithTheNewestOnTheRight) {
    EXPECT_EQ(3, HistoryGraphColumnCount(3, 96));
    EXPECT_EQ(96, HistoryGraphColumnCount(500, 96));
    EXPECT_EQ(0, HistoryGraphColumnCount(0, 96));
    EXPECT_EQ(0, HistoryGraphColumnCount(5, 0));
    // Three columns: the oldest of the three (index 2) on the left, the newest (0) on the right.
    EXPECT_EQ(2, HistoryGraphValueIndex(0, 3));
    EXPECT_EQ(0, HistoryGraphValueIndex(2, 3));
}

TEST(HistoryGraph, BarHeightsAndRampColoursFollowTheWindowMaximum) {
    // Area rows 10..20 (height 11): a bar is trunc(10 * t) + 1 pixels from the bottom up.
    SGraphColumn full = HistoryGraphColumn(0.040, 0.040, 10, 21);
    EXPECT_EQ(10, full.top);
    EXPECT_EQ(21, full.bottom);
    EXPECT_EQ(0x333399u, full.color); // dark red at the maximum

    SGraphColumn half = HistoryGraphColumn(0.020, 0.040, 10, 21);
    EXPECT_EQ(21 - 6, half.top);
    EXPECT_EQ(21, half.bottom);
    EXPECT_EQ(0x66CCCCu, half.color); // the middle stop

    // t = 0.25: height trunc(2.5) + 1 = 3; colour halfway from light green to the middle stop.
    SGraphColumn quarter = HistoryGraphColumn(0.010, 0.040, 10, 21);
    EXPECT_EQ(21 - 3, quarter.top);
    EXPECT_EQ(RampColor(0x66CCCC, 0x333399, 0.25), quarter.color);
    EXPECT_EQ(0x80E6B2u, quarter.color);

    // A tiny reply still shows one light green pixel.
    SGraphColumn tiny = HistoryGraphColumn(1e-9, 0.040, 10, 21);
    EXPECT_EQ(20, tiny.top);
    EXPECT_EQ(0x99FF99u, tiny.color);
}

TEST(HistoryGraph, StaleOrMissingMaximumNeverOverrunsTheCell) {
    SGraphColumn over = HistoryGraphColumn(0.080, 0.040, 10, 21);
    EXPECT_EQ(10, over.top);
    EXPECT_EQ(0x333399u, over.color);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SGraphColumn noMax = HistoryGraphColumn(0.010, nan, 10, 21);
    EXPECT_EQ(20, noMax.top);
    EXPECT_EQ(21, noMax.bottom);
    EXPECT_EQ(0x99FF99u, noMax.color);
}

TEST(HistoryGraph, AwaitingIsATopDotAndEverythingElseAFullGreyColumn) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SGraphColumn awaiting = HistoryGraphColumn(-1.0, nan, 10, 21);
    EXPECT_EQ(10, awaiting.top);
    EXPECT_EQ(11, awaiting.bottom);
    EXPECT_EQ(0xCC00CCu, awaiting.color);
    for (double value : {-2.0, nan, -0.5}) {
        SGraphColumn grey = HistoryGraphColumn(value, 0.040, 10, 21);
        EXPECT_EQ(10, grey.top);
        EXPECT_EQ(21, grey.bottom);
        EXPECT_EQ(0xCCCCCCu, grey.color);
    }
}

TEST(HistoryGraph, ScalesWithTheTextFrom150Percent) {
    EXPECT_EQ(16, ScaleToDpi(16, 96));
    EXPECT_EQ(24, ScaleToDpi(16, 144));
    EXPECT_EQ(32, ScaleToDpi(16, 192));
    EXPECT_EQ(16, ScaleToDpi(16, 0));
    EXPECT_EQ(1, GraphScaleForDpi(96));
    EXPECT_EQ(1, GraphScaleForDpi(120));
    EXPECT_EQ(2, GraphScaleForDpi(144));
    EXPECT_EQ(2, GraphScaleForDpi(192));
    // Margins, the awaiting dot and the lowest bar grow with the scale; the grid line does not.
    SPixelRect area;
    ASSERT_TRUE(HistoryGraphArea({100, 20, 200, 37}, area, 2));
    EXPECT_EQ((SPixelRect{104, 24, 196, 32}), area);
    SGraphColumn dot =
        HistoryGraphColumn(-1.0, std::numeric_limits<double>::quiet_NaN(), 10, 21, 2);
    EXPECT_EQ(10, dot.top);
    EXPECT_EQ(12, dot.bottom);
    SGraphColumn tiny = HistoryGraphColumn(1e-9, 0.040, 10, 21, 2);
    EXPECT_EQ(19, tiny.top);
    SGraphColumn full = HistoryGraphColumn(0.040, 0.040, 10, 21, 2);
    EXPECT_EQ(10, full.top);
}
