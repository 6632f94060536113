// Process and thread services: the process id, the calling thread's priority and its timed waits.
#pragma once

#include "foundation/base_types.h"

// The id of this process.
DWORD PlatformProcessId();
// Gives the calling thread the lowest scheduling priority; false (last error set) on failure.
bool PlatformSetLowestThreadPriority();
// Asks that the calling thread's timed waits end when they are due rather than on the system's
// coarse timer: Linux adds a default slack of 50 us to batch wake-ups (more than a tenth of a
// 100 us probe spacing); Windows ends waits on its timer tick, 15.6 ms unless a program asks for
// 1 ms. False where the system has no such setting or refuses it. Every successful call needs a
// PlatformEndPreciseWaits on the same thread when the precise waits are no longer needed (on
// Windows the request holds for the whole process until then).
bool PlatformBeginPreciseWaits();
void PlatformEndPreciseWaits();
