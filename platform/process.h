// Process and thread services: the process id and the calling thread's priority.
#pragma once

#include "foundation/base_types.h"

// The id of this process.
DWORD PlatformProcessId();
// Gives the calling thread the lowest scheduling priority; false (last error set) on failure.
bool PlatformSetLowestThreadPriority();
