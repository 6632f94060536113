// Process and thread services on Linux.
#include "platform/process.h"

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
