// Process and thread services on Windows.
#include "platform/process.h"

#include <windows.h>

#include <mmsystem.h>

DWORD PlatformProcessId() {
    return GetCurrentProcessId();
}

bool PlatformSetLowestThreadPriority() {
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST) != FALSE;
}

// Windows waits have no per-thread slack; they end on the system timer's tick, which a process
// may ask to be 1 ms while it needs it. Without that, a probe due in 3 ms went out 15.6 ms later.
bool PlatformBeginPreciseWaits() {
    return timeBeginPeriod(1) == TIMERR_NOERROR;
}

void PlatformEndPreciseWaits() {
    timeEndPeriod(1);
}
