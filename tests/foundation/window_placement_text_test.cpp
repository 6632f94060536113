// Formatting and strict parsing of the ten-number window placement text.
#include <gtest/gtest.h>

#include "foundation/window_placement_text.h"

namespace {

const SWindowPlacementText kSample = {2, 3, -1, -1, -8, -8, 100, 50, 740, 530};

} // namespace

TEST(WindowPlacementText, FormatAndParseRoundTrip) {
    CString text = FormatWindowPlacement(kSample);
    EXPECT_EQ(L"2,3,-1,-1,-8,-8,100,50,740,530", text);
    SWindowPlacementText parsed{};
    ASSERT_TRUE(ParseWindowPlacement(text.c_str(), parsed));
    EXPECT_EQ(FormatWindowPlacement(parsed), text);
    EXPECT_EQ(3u, parsed.showCmd);
    EXPECT_EQ(-8, parsed.maxY);
    EXPECT_EQ(530, parsed.bottom);
}

TEST(WindowPlacementText, TheExtremesOfEachFieldSurvive) {
    const SWindowPlacementText extremes = {4294967295u, 0, INT32_MIN, INT32_MAX, 0, 0, 0, 0, 0, 0};
    CString text = FormatWindowPlacement(extremes);
    EXPECT_EQ(L"4294967295,0,-2147483648,2147483647,0,0,0,0,0,0", text);
    SWindowPlacementText parsed{};
    ASSERT_TRUE(ParseWindowPlacement(text.c_str(), parsed));
    EXPECT_EQ(extremes.flags, parsed.flags);
    EXPECT_EQ(INT32_MIN, parsed.minX);
    EXPECT_EQ(INT32_MAX, parsed.minY);
}

TEST(WindowPlacementText, AnythingButExactlyTenNumbersIsRejectedUntouched) {
    const LPCWSTR bad[] = {
        L"",
        L"2,3,-1,-1,-8,-8,100,50,740",        // nine numbers
        L"2,3,-1,-1,-8,-8,100,50,740,530,1",  // eleven
        L"2,3,-1,-1,-8,-8,100,50,740,530abc", // letters after the tenth
        L"2,3,-1,-1,-8,-8,100,x50,740,530",   // letters inside
        L"2,3,-1,-1,-8,-8,100,50,740,530,",   // trailing comma
        L"2,3,-1,-1,-8,-8,100,,740,530",      // empty field
        L" 2,3,-1,-1,-8,-8,100,50,740,530",   // spaces
        L"2, 3,-1,-1,-8,-8,100,50,740,530",
        L"2,3,-1,-1,-8,-8,100,50,740,530 ",
        L"-2,3,-1,-1,-8,-8,100,50,740,530",         // sign on an unsigned field
        L"2,3,+1,-1,-8,-8,100,50,740,530",          // plus sign
        L"2,3,-,-1,-8,-8,100,50,740,530",           // lone minus
        L"4294967296,3,-1,-1,-8,-8,100,50,740,530", // out of range
        L"2,3,2147483648,-1,-8,-8,100,50,740,530",
        L"2,3,-2147483649,-1,-8,-8,100,50,740,530",
        L"2;3;-1;-1;-8;-8;100;50;740;530",
    };
    for (LPCWSTR text : bad) {
        SWindowPlacementText parsed = kSample;
        EXPECT_FALSE(ParseWindowPlacement(text, parsed)) << text;
        EXPECT_EQ(FormatWindowPlacement(kSample), FormatWindowPlacement(parsed)) << text;
    }
    SWindowPlacementText parsed = kSample;
    EXPECT_FALSE(ParseWindowPlacement(nullptr, parsed));
}

TEST(WindowPlacementText, LeadingZerosAreStillDecimal) {
    SWindowPlacementText parsed{};
    ASSERT_TRUE(ParseWindowPlacement(L"0,01,-0,-010,0,0,0,0,0,0", parsed));
    EXPECT_EQ(1u, parsed.showCmd);
    EXPECT_EQ(0, parsed.minX);
    EXPECT_EQ(-10, parsed.minY);
}

TEST(WindowPlacementText, AStoredHiddenWindowOpensNormally) {
    EXPECT_EQ(1u, RestorableShowCommand(0));
    EXPECT_EQ(1u, RestorableShowCommand(1));
    EXPECT_EQ(2u, RestorableShowCommand(2));
    EXPECT_EQ(3u, RestorableShowCommand(3));
}
