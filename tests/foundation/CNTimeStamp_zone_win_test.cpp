// Zone-dependent parts of CNTimeStamp on Windows. Wine takes the zone from the TZ variable of the
// process when it starts and a running process cannot change it, so ctest runs this test once per
// zone with TZ set in its environment (cmake/HopwatchTests.cmake); without such a TZ it skips.
#include <gtest/gtest.h>

#include <cstdlib>

#include "zone_cases.h"

TEST(TimeStampZone, FollowsTheZoneSetInTheEnvironment) {
    const SZoneCase* zone = FindZoneCase(std::getenv("TZ"));
    if (zone == nullptr)
        GTEST_SKIP() << "run with TZ set to one of the zone cases";
    ExpectZone(*zone);
}
