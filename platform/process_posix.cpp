// Process and thread services on Linux.
#include "platform/process.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

DWORD PlatformProcessId() {
    return static_cast<DWORD>(getpid());
}

// On Linux the nice value is per thread when addressed by thread id; 19 is the lowest priority.
bool PlatformSetLowestThreadPriority() {
    const id_t tid = static_cast<id_t>(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, tid, 19) == 0;
}

// The timer slack is per thread; 1 ns is the smallest value, 0 restores the default.
bool PlatformBeginPreciseWaits() {
    return prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
}

void PlatformEndPreciseWaits() {
    prctl(PR_SET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
}
