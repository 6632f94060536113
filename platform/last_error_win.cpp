// Last system error on Windows: the thread's Win32 error slot.
#include "platform/last_error.h"

#include <windows.h>

DWORD GetLastSystemError() {
    return ::GetLastError();
}

void SetLastSystemError(DWORD code) {
    ::SetLastError(code);
}
