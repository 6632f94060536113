// Fraction, extent, split, percentage text and the redraw decisions of the progress bar state.
#include <gtest/gtest.h>

#include "results/text_progress.h"

TEST(TextProgress, FractionAndExtentStayInsideTheBar) {
    EXPECT_DOUBLE_EQ(0.0, TextProgressFraction(0, 0, 100));
    EXPECT_DOUBLE_EQ(0.42, TextProgressFraction(42, 0, 100));
    EXPECT_DOUBLE_EQ(1.0, TextProgressFraction(100, 0, 100));
    EXPECT_DOUBLE_EQ(0.5, TextProgressFraction(-5, -10, 0));
    EXPECT_DOUBLE_EQ(1.0, TextProgressFraction(150, 0, 100));
    EXPECT_DOUBLE_EQ(0.0, TextProgressFraction(-3, 0, 100));
    // An empty or inverted range has nothing done, and no division by zero.
    EXPECT_DOUBLE_EQ(0.0, TextProgressFraction(5, 5, 5));
    EXPECT_DOUBLE_EQ(0.0, TextProgressFraction(5, 9, 1));
    // The widest range does not overflow.
    EXPECT_DOUBLE_EQ(1.0, TextProgressFraction(INT32_MAX, INT32_MIN, INT32_MAX));

    EXPECT_EQ(0, TextProgressExtent(0, 0, 1000, 300));
    EXPECT_EQ(0, TextProgressExtent(3, 0, 1000, 300)); // 0.9 of a pixel
    EXPECT_EQ(1, TextProgressExtent(4, 0, 1000, 300)); // 1.2 pixels
    EXPECT_EQ(300, TextProgressExtent(1000, 0, 1000, 300));
    EXPECT_EQ(0, TextProgressExtent(7, 7, 7, 300));
    EXPECT_EQ(0, TextProgressExtent(50, 0, 100, 0));
}

TEST(TextProgress, SplitFillsFromTheLeftOrFromTheBottom) {
    SPixelRect filled, rest;
    TextProgressSplit({0, 0, 200, 20}, false, 0.25, filled, rest);
    EXPECT_EQ((SPixelRect{0, 0, 50, 20}), filled);
    EXPECT_EQ((SPixelRect{50, 0, 200, 20}), rest);
    TextProgressSplit({0, 0, 20, 200}, true, 0.25, filled, rest);
    EXPECT_EQ((SPixelRect{0, 150, 20, 200}), filled);
    EXPECT_EQ((SPixelRect{0, 0, 20, 150}), rest);
    TextProgressSplit({5, 0, 105, 20}, false, 1.0, filled, rest);
    EXPECT_EQ((SPixelRect{5, 0, 105, 20}), filled);
    EXPECT_EQ(0, rest.Width());
}

TEST(TextProgress, PercentTextTruncates) {
    EXPECT_EQ(L"0%", TextProgressPercentText(0.0));
    EXPECT_EQ(L"42%", TextProgressPercentText(0.4299));
    EXPECT_EQ(L"100%", TextProgressPercentText(1.0));
}

TEST(TextProgress, CopyTextCountsOnlyWhatFitsWhole) {
    WCHAR buffer[8];
    EXPECT_EQ(5, TextProgressCopyText(L"hello", buffer, 8));
    EXPECT_STREQ(L"hello", buffer);
    EXPECT_EQ(7, TextProgressCopyText(L"1234567", buffer, 8));
    EXPECT_EQ(0, TextProgressCopyText(L"12345678", buffer, 8));
    EXPECT_STREQ(L"1234567", buffer); // cut but terminated
    EXPECT_EQ(0, TextProgressCopyText(L"hello", nullptr, 8));
    EXPECT_EQ(0, TextProgressCopyText(L"hello", buffer, 0));
    EXPECT_EQ(0, TextProgressCopyText(L"", buffer, 8));
    EXPECT_STREQ(L"", buffer);
}

TEST(TextProgress, RedrawsOnlyWhenTheBarMovesByAWholePixel) {
    CTextProgressState state;
    state.m_upper = 1000;
    EXPECT_TRUE(state.MoveTo(0, 300)); // nothing remembered yet
    EXPECT_FALSE(state.MoveTo(3, 300));
    EXPECT_EQ(3, state.m_position); // the position moves even without a redraw
    EXPECT_TRUE(state.MoveTo(4, 300));
    EXPECT_FALSE(state.MoveTo(5, 300));
    state.ForgetExtent(); // resized
    EXPECT_TRUE(state.MoveTo(5, 300));
    // An empty range always has extent 0: one redraw, then none.
    state.m_lower = state.m_upper = 10;
    EXPECT_TRUE(state.MoveTo(10, 300));
    EXPECT_FALSE(state.MoveTo(11, 300));
}

TEST(TextProgress, TextAndFlagsReportOnlyChanges) {
    CTextProgressState state;
    EXPECT_FALSE(state.SetText(L""));
    EXPECT_FALSE(state.SetText(nullptr));
    EXPECT_TRUE(state.SetText(L"host 192.0.2.1"));
    EXPECT_FALSE(state.SetText(L"host 192.0.2.1"));
    EXPECT_TRUE(state.SetText(L""));
    EXPECT_FALSE(state.SetShowText(TRUE));
    EXPECT_TRUE(state.SetShowText(FALSE));
    EXPECT_FALSE(state.SetTextFormat(0x25));
    EXPECT_TRUE(state.SetTextFormat(0x24));
}

TEST(TextProgress, DefaultTextColourIsTheInverseOfWhatLiesUnder) {
    CTextProgressState state;
    EXPECT_EQ(0xFFFFFFu, state.TextColorOverFill(0xFFFFFF));
    EXPECT_EQ(0x0000FFu, state.TextColorOverRest(0x0000FF));
    state.m_textColor = 0x123456;
    EXPECT_EQ(0x123456u, state.TextColorOverFill(0xFFFFFF));
    EXPECT_EQ(0x123456u, state.TextColorOverRest(0x0000FF));
}

TEST(TextProgress, StepsWrapInsteadOfOverflowing) {
    CTextProgressState state;
    state.m_position = INT32_MAX;
    EXPECT_EQ(INT32_MIN, state.Offset(1));
    state.m_position = 10;
    EXPECT_EQ(7, state.Offset(-3));
}
