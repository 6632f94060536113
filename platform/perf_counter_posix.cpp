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
