// System clock, time zone and calendar conversion on POSIX: the C library's clock and zone rules,
// and civil-date arithmetic of our own, so that the whole 1601 to 30828 range converts (time_t
// and struct tm years are not needed for it).
#include "platform/clock_time.h"

#include <time.h>

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kSecondsPerDay = 86400;
// Days from 1601-01-01 to 1970-01-01, and the same span in 100-ns ticks.
constexpr std::int64_t kDaysTo1970 = 134774;
constexpr std::int64_t kTicksTo1970 = kDaysTo1970 * kSecondsPerDay * kTicksPerSecond;
constexpr std::uint64_t kTopBit = 0x8000000000000000ull;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

// The date of a day count since 1970-01-01 (the inverse of DaysFromCivil).
void CivilFromDays(std::int64_t days, std::int64_t* year, unsigned* month, unsigned* day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    *month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    *year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (*month <= 2);
}

// The local zone's offset east of UTC in seconds at the given moment; reads TZ afresh.
bool LocalOffsetSeconds(time_t at, long* offset) {
    tzset(); // localtime_r alone need not notice a changed TZ
    struct tm local;
    if (localtime_r(&at, &local) == nullptr)
        return false;
    *offset = local.tm_gmtoff;
    return true;
}

} // namespace

std::uint64_t PlatformSystemTimeUtc() {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint64_t>(kTicksTo1970 + now.tv_sec * kTicksPerSecond +
                                      now.tv_nsec / 100);
}

bool PlatformUtcToLocal(std::uint64_t utc, std::uint64_t* local) {
    if (utc & kTopBit)
        return false;
    const std::int64_t ticks = static_cast<std::int64_t>(utc) - kTicksTo1970;
    // Floor division, so that moments before 1970 fall into the right second.
    std::int64_t seconds = ticks / kTicksPerSecond;
    if (ticks % kTicksPerSecond < 0)
        --seconds;
    long offset = 0;
    if (!LocalOffsetSeconds(static_cast<time_t>(seconds), &offset))
        return false;
    const std::int64_t result = static_cast<std::int64_t>(utc) + offset * kTicksPerSecond;
    if (result < 0)
        return false;
    *local = static_cast<std::uint64_t>(result);
    return true;
}

bool PlatformTimeZoneBias(long* biasMinutes) {
    long offset = 0;
    if (!LocalOffsetSeconds(time(nullptr), &offset))
        return false;
    *biasMinutes = -offset / 60;
    return true;
}

bool PlatformCountToCalendar(std::uint64_t count, SCalendarTime* fields) {
    if (count & kTopBit)
        return false;
    const std::uint64_t totalMilliseconds = count / 10000;
    const std::uint64_t totalSeconds = totalMilliseconds / 1000;
    const std::int64_t days = static_cast<std::int64_t>(totalSeconds / kSecondsPerDay);
    const unsigned secondOfDay = static_cast<unsigned>(totalSeconds % kSecondsPerDay);
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days - kDaysTo1970, &year, &month, &day);
    fields->year = static_cast<WORD>(year);
    fields->month = static_cast<WORD>(month);
    fields->dayOfWeek = static_cast<WORD>((days + 1) % 7); // 1601-01-01 was a Monday
    fields->day = static_cast<WORD>(day);
    fields->hour = static_cast<WORD>(secondOfDay / 3600);
    fields->minute = static_cast<WORD>(secondOfDay / 60 % 60);
    fields->second = static_cast<WORD>(secondOfDay % 60);
    fields->milliseconds = static_cast<WORD>(totalMilliseconds % 1000);
    return true;
}

bool PlatformCalendarToCount(const SCalendarTime& fields, std::uint64_t* count) {
    const std::int64_t days = DaysFromCivil(fields.year, fields.month, fields.day) + kDaysTo1970;
    const std::int64_t seconds =
        days * kSecondsPerDay + fields.hour * 3600 + fields.minute * 60 + fields.second;
    *count = static_cast<std::uint64_t>((seconds * 1000 + fields.milliseconds) * 10000);
    return true;
}
