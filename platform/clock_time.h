// System clock, time zone and calendar conversion of 100-ns counts since 1601-01-01.
#pragma once

#include <cstdint>

#include "foundation/base_types.h"

// Calendar fields of a point in time, laid out like the system's SYSTEMTIME.
struct SCalendarTime {
    WORD year;         // 1601 to 30827
    WORD month;        // 1 to 12
    WORD dayOfWeek;    // 0 = Sunday to 6 = Saturday (ignored when converting to a count)
    WORD day;          // 1 to 31
    WORD hour;         // 0 to 23
    WORD minute;       // 0 to 59
    WORD second;       // 0 to 59
    WORD milliseconds; // 0 to 999
};

// The current system time as UTC, in 100-ns units since 1601-01-01. Any thread; never fails.
std::uint64_t PlatformSystemTimeUtc();

// Converts a UTC count into local time with the system's zone rules. FALSE when the system cannot
// convert it; *local is then untouched. Any thread.
bool PlatformUtcToLocal(std::uint64_t utc, std::uint64_t* local);

// The current bias of the local zone in minutes (UTC = local time + bias, so zones east of GMT
// are negative), daylight saving included when it is in force now. FALSE when the zone cannot be
// read. Any thread; on POSIX a changed TZ variable takes effect at the next call.
bool PlatformTimeZoneBias(long* biasMinutes);

// Splits a count into calendar fields. FALSE for counts with the top bit set (as the system
// refuses them); *fields is then untouched. Any thread.
bool PlatformCountToCalendar(std::uint64_t count, SCalendarTime* fields);

// Joins calendar fields into a count. The caller passes fields in range (a real date of the years
// 1601 to 30827): the systems differ in which wrong fields they refuse (Wine takes 29 February of
// any year). FALSE when the system refuses them; *count is then untouched. Any thread.
bool PlatformCalendarToCount(const SCalendarTime& fields, std::uint64_t* count);
