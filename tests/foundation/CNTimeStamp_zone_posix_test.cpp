// Zone-dependent parts of CNTimeStamp on POSIX: the test switches TZ itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <time.h>

#include "zone_cases.h"

TEST(TimeStampZone, FollowsTheZoneSetInTheEnvironment) {
    const char* saved = std::getenv("TZ");
    const std::string restore = saved != nullptr ? saved : "";
    for (const SZoneCase& zone : kZoneCases) {
        setenv("TZ", zone.tz, 1);
        tzset();
        ExpectZone(zone);
    }
    if (saved != nullptr)
        setenv("TZ", restore.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
