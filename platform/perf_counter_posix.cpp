// Performance counter on POSIX: the monotonic clock in nanoseconds.
#include "platform/perf_counter.h"

#include <time.h>

std::int64_t PlatformPerfCounter() {
    timespec now;
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return 0;
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::int64_t PlatformPerfFrequency() {
    return 1000000000;
}

static std::int64_t Nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The stamp's age on the wall clock now is taken off the counter now: both clocks advance at the
// same rate over a second, and the age is all that crosses from one to the other.
bool PlatformPerfCounterAt(std::int64_t wallNanoseconds, std::int64_t& ticks) {
    timespec wall{};
    timespec mono{};
    if (clock_gettime(CLOCK_REALTIME, &wall) != 0 || clock_gettime(CLOCK_MONOTONIC, &mono) != 0)
        return false;
    const std::int64_t age = Nanoseconds(wall) - wallNanoseconds;
    if (age < 0 || age > 1000000000)
        return false;
    ticks = Nanoseconds(mono) - age;
    return true;
}
