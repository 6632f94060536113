// Fixed time zones (no daylight saving, so the result does not depend on today's date) and the
// checks of the zone-dependent parts of CNTimeStamp, shared by the POSIX and Windows tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "foundation/CNTimeStamp.h"

struct SZoneCase {
    const char* tz;        // POSIX TZ value
    const wchar_t* text;   // expected offset text
    long minutesEastOfGmt; // expected offset
};

inline const SZoneCase kZoneCases[] = {
    {"GMT0", L"-0000", 0},
    {"XCT-1", L"+0100", 60},
    {"EST5", L"-0500", -300},
    {"XIST-5:30", L"+0530", 330},
};

// The case for a TZ value, or null.
inline const SZoneCase* FindZoneCase(const char* tz) {
    for (const SZoneCase& zone : kZoneCases)
        if (tz != nullptr && std::strcmp(zone.tz, tz) == 0)
            return &zone;
    return nullptr;
}

// Checks offset, offset text, %G and ToLocal against the zone now in force.
inline void ExpectZone(const SZoneCase& zone) {
    SCOPED_TRACE(zone.tz);
    const std::int64_t offset = zone.minutesEastOfGmt * 600000000ll;
    EXPECT_EQ(CNTimeStamp::LocalOffsetText(), zone.text);
    EXPECT_EQ(CNTimeStamp::LocalOffsetFromGMT(), offset);
    const CNTimeStamp stamp(2007, 3, 4, 10, 0, 0);
    EXPECT_EQ(stamp.Format(L"GMT%G"), CString(L"GMT") + zone.text);
    CNTimeStamp local = stamp;
    local.ToLocal();
    EXPECT_EQ(static_cast<std::int64_t>(local.GetValue() - stamp.GetValue()), offset);
}
