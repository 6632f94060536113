// The high-resolution performance counter and its frequency.
#pragma once

#include <cstdint>

// Current counter value in ticks; monotonic. Any thread.
std::int64_t PlatformPerfCounter();
// Ticks per second, read once per process and then returned unchanged; 0 when there is no counter.
std::int64_t PlatformPerfFrequency();
