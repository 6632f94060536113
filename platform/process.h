// Process and thread services: the process id and the calling thread's priority.
#pragma once

#include "foundation/base_types.h"

// The id of this process.
DWORD PlatformProcessId();
// Gives the calling thread the lowest scheduling priority; false (last error set) on failure.
bool PlatformSetLowestThreadPriority();
// Asks that the calling thread's timed waits end when they are due rather than up to a default
// slack later, which systems use to batch wake-ups (50 us on Linux, more than a tenth of a
// 100 us probe spacing). False where the system has no such setting or refuses it.
bool PlatformUsePreciseWaits();
