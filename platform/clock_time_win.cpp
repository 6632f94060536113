// System clock, time zone and calendar conversion on Windows: the FILETIME family of calls.
#include "platform/clock_time.h"

#include <windows.h>

namespace {

FILETIME ToFileTime(std::uint64_t count) {
    FILETIME fileTime;
    fileTime.dwLowDateTime = static_cast<DWORD>(count);
    fileTime.dwHighDateTime = static_cast<DWORD>(count >> 32);
    return fileTime;
}

std::uint64_t FromFileTime(const FILETIME& fileTime) {
    return (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
}

} // namespace

std::uint64_t PlatformSystemTimeUtc() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return FromFileTime(now);
}

bool PlatformUtcToLocal(std::uint64_t utc, std::uint64_t* local) {
    const FILETIME utcTime = ToFileTime(utc);
    FILETIME localTime;
    if (!::FileTimeToLocalFileTime(&utcTime, &localTime))
        return false;
    *local = FromFileTime(localTime);
    return true;
}

bool PlatformTimeZoneBias(long* biasMinutes) {
    TIME_ZONE_INFORMATION zone;
    switch (::GetTimeZoneInformation(&zone)) {
    case TIME_ZONE_ID_UNKNOWN:
        *biasMinutes = zone.Bias;
        return true;
    case TIME_ZONE_ID_STANDARD:
        *biasMinutes = zone.Bias + zone.StandardBias;
        return true;
    case TIME_ZONE_ID_DAYLIGHT:
        *biasMinutes = zone.Bias + zone.DaylightBias;
        return true;
    default:
        return false;
    }
}

bool PlatformCountToCalendar(std::uint64_t count, SCalendarTime* fields) {
    const FILETIME fileTime = ToFileTime(count);
    SYSTEMTIME systemTime;
    if (!::FileTimeToSystemTime(&fileTime, &systemTime))
        return false;
    *fields = {systemTime.wYear,   systemTime.wMonth,       systemTime.wDayOfWeek,
               systemTime.wDay,    systemTime.wHour,        systemTime.wMinute,
               systemTime.wSecond, systemTime.wMilliseconds};
    return true;
}

bool PlatformCalendarToCount(const SCalendarTime& fields, std::uint64_t* count) {
    SYSTEMTIME systemTime = {fields.year, fields.month,  fields.dayOfWeek, fields.day,
                             fields.hour, fields.minute, fields.second,    fields.milliseconds};
    FILETIME fileTime;
    if (!::SystemTimeToFileTime(&systemTime, &fileTime))
        return false;
    *count = FromFileTime(fileTime);
    return true;
}
