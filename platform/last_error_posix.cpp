// Last system error on POSIX: the thread's errno.
#include "platform/last_error.h"

#include <cerrno>

DWORD GetLastSystemError() {
    return static_cast<DWORD>(errno);
}

void SetLastSystemError(DWORD code) {
    errno = static_cast<int>(code);
}
