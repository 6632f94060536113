// Performance counter on Windows: QueryPerformanceCounter, its frequency read once.
#include "platform/perf_counter.h"

#include <windows.h>

std::int64_t PlatformPerfCounter() {
    LARGE_INTEGER now;
    if (!QueryPerformanceCounter(&now))
        return 0;
    return now.QuadPart;
}

std::int64_t PlatformPerfFrequency() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER value;
        return QueryPerformanceFrequency(&value) ? static_cast<std::int64_t>(value.QuadPart) : 0;
    }();
    return frequency;
}

// Winsock gives no receive stamps that the program reads; the engine's own time stands.
bool PlatformPerfCounterAt(std::int64_t, std::int64_t&) {
    return false;
}
