// Process and thread services on Windows.
#include "platform/process.h"

#include <windows.h>

DWORD PlatformProcessId() {
    return GetCurrentProcessId();
}

bool PlatformSetLowestThreadPriority() {
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST) != FALSE;
}

// Windows waits have no per-thread slack to set; their resolution is the system timer's.
bool PlatformUsePreciseWaits() {
    return false;
}
