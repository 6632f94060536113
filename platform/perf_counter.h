// The high-resolution performance counter and its frequency.
#pragma once

#include <cstdint>

// Current counter value in ticks; monotonic. Any thread.
std::int64_t PlatformPerfCounter();
// Ticks per second, read once per process and then returned unchanged; 0 when there is no counter.
std::int64_t PlatformPerfFrequency();
// The counter's value at a recent moment given in wall-clock nanoseconds since 1970 (the time a
// socket's answer arrived, as the kernel stamps it). FALSE, ticks unchanged, when the moment is in
// the future or more than a second ago (the wall clock was set meanwhile) or cannot be converted.
bool PlatformPerfCounterAt(std::int64_t wallNanoseconds, std::int64_t& ticks);
