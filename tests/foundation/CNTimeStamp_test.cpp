// Tests of CNTimeStamp: calendar conversion, the program's own directives and wcsftime handling.
#include <gtest/gtest.h>

#include <cstdint>

#include "foundation/CNTimeStamp.h"
#include "platform/clock_time.h"

namespace {

const CNTimeStamp kSample(2007, 3, 4, 5, 6, 7, 89); // a Sunday
constexpr std::uint64_t kSampleValue = 128174583670890000ull;
constexpr std::uint64_t kLargest = 0x7FFFFFFFFFFFFFFFull;

} // namespace

TEST(TimeStamp, ReplacesOwnDirectivesBeforeTheRuntimeOnes) {
    ASSERT_EQ(kSample.GetValue(), kSampleValue);
    EXPECT_EQ(kSample.Format(L"%Y%m%d_%H%M%S_%N"), L"20070304_050607_089");
    EXPECT_EQ(kSample.Format(L"%O %o"), L"3664 28c3");
    EXPECT_EQ(kSample.Format(L"%F %u"), L"0890000 089000");
    EXPECT_EQ(kSample.Format(L"%D %h %s"), L"148350 3560405 12817458367");
    EXPECT_EQ(kSample.Format(L"%N%N"), L"089089");
    // A doubled percent does not protect the program's directives.
    EXPECT_EQ(kSample.Format(L"%%N"), L"%089");
    EXPECT_EQ(kSample.Format(L"%a, %b %d, %Y  %I:%M:%S %p"), L"Sun, Mar 04, 2007  05:06:07 AM");
    EXPECT_EQ(kSample.Format(L"Build %y%m%d.%H%M%S "), L"Build 070304.050607 ");
    EXPECT_EQ(kSample.Format(L""), L"");

    const CNTimeStamp whole(2007, 3, 4, 5, 6, 7);
    EXPECT_EQ(whole.Format(L"%F %u %N"), L"0000000 000000 000");
    const CNTimeStamp ticks(kSampleValue + 1234);
    EXPECT_EQ(ticks.Format(L"%F %u %N"), L"0891234 089123 089");
}

TEST(TimeStamp, HandlesTheEdgesOfTheRange) {
    const CNTimeStamp zero;
    EXPECT_FALSE(zero.IsSet());
    EXPECT_EQ(zero.Format(L"%Y-%m-%d %H:%M:%S %a"), L"1601-01-01 00:00:00 Mon");
    EXPECT_EQ(zero.Format(L"%D %h %s %O"), L"0 0 0 0a21");

    // The largest legal value lies in year 30828: the program's own directives still work, the
    // runtime's are not attempted, and the partly replaced text comes back.
    const CNTimeStamp largest(kLargest);
    EXPECT_EQ(largest.Format(L"%s %D %h %N %Y"), L"922337203685 10675199 256204778 477 %Y");
    for (std::uint64_t illegal : {kLargest + 1, ~std::uint64_t(0)}) {
        EXPECT_EQ(CNTimeStamp(illegal).Format(L"%Y"), L"*** Illegal CNTimeStamp ***");
    }

    EXPECT_FALSE(CNTimeStamp(2007, 2, 29, 0, 0, 0).IsSet());
    EXPECT_FALSE(CNTimeStamp(1600, 12, 31, 0, 0, 0).IsSet());
    EXPECT_FALSE(CNTimeStamp(2007, 13, 1, 0, 0, 0).IsSet());
    EXPECT_FALSE(CNTimeStamp(2007, 1, 1, 24, 0, 0).IsSet());
    EXPECT_EQ(CNTimeStamp(2008, 2, 29, 0, 0, 0).Format(L"%Y%m%d"), L"20080229");
    EXPECT_EQ(CNTimeStamp(1970, 1, 1, 0, 0, 0).GetValue(), 116444736000000000ull);
    EXPECT_EQ(CNTimeStamp(kSampleValue), kSample);
    EXPECT_NE(CNTimeStamp(kSampleValue + 1), kSample);
}

TEST(TimeStamp, KeepsUnknownDirectivesAsText) {
    // Directives only some runtimes know, and a lone percent, print literally on every platform.
    EXPECT_EQ(kSample.Format(L"%q %e %j 100%"), L"%q %e %j 100%");
    EXPECT_EQ(kSample.Format(L"%%Y=%Y"), L"%Y=2007");
}

TEST(TimeStamp, CalendarConversionRoundTripsAcrossTheWholeRange) {
    // Every 97th day from 1601 to 30827, at a time with every field non-zero: back to the same
    // count, and the weekday advances by 97 mod 7 each step.
    const std::uint64_t day = 864000000000ull;
    const std::uint64_t timeOfDay = ((13 * 3600 + 14 * 60 + 15) * 1000 + 16) * 10000ull;
    WORD lastWeekday = 1; // 1601-01-01 was a Monday
    unsigned steps = 0;
    for (std::uint64_t days = 0; days * day + timeOfDay < kLargest && steps < 200000;
         days += 97, ++steps) {
        const std::uint64_t count = days * day + timeOfDay;
        SCalendarTime fields;
        ASSERT_TRUE(PlatformCountToCalendar(count, &fields)) << count;
        std::uint64_t back = 0;
        if (fields.year <= 30827) {
            ASSERT_TRUE(PlatformCalendarToCount(fields, &back)) << count;
            ASSERT_EQ(back, count) << fields.year << "-" << fields.month << "-" << fields.day;
        }
        ASSERT_EQ(fields.hour * 10000 + fields.minute * 100 + fields.second, 131415);
        ASSERT_EQ(fields.milliseconds, 16);
        if (days != 0) {
            ASSERT_EQ(fields.dayOfWeek, (lastWeekday + 97) % 7);
        }
        lastWeekday = fields.dayOfWeek;
    }
    EXPECT_GT(steps, 100000u);
}

TEST(TimeStamp, NowIsRecent) {
    // Local time is within a day of UTC, and both are after the year 2020.
    const std::int64_t local = static_cast<std::int64_t>(CNTimeStamp::Now().GetValue());
    const std::int64_t utc = static_cast<std::int64_t>(PlatformSystemTimeUtc());
    EXPECT_GT(utc, static_cast<std::int64_t>(CNTimeStamp(2020, 1, 1, 0, 0, 0).GetValue()));
    EXPECT_LT(local - utc < 0 ? utc - local : local - utc, 864000000000);
}
