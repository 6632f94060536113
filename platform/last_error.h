// The calling thread's last system error code (GetLastError on Windows, errno on POSIX).
#pragma once

#include "foundation/base_types.h"

// Returns the calling thread's last system error code. Never fails; reads thread-local state only.
DWORD GetLastSystemError();

// Sets the calling thread's last system error code. Never fails; affects only the calling thread.
void SetLastSystemError(DWORD code);
