// Opening a file with the program the system has registered for its type.
#pragma once

#include "foundation/base_types.h"

// Asks the system to open the file at `path` (absolute) with its default program: ShellExecuteW
// "open" on Windows, with the file's directory as working directory; xdg-open on POSIX. Returns 0
// once the program was started, or the system's error code (also the thread's last error).
// User-interface thread; returns without waiting for the program to end.
DWORD PlatformOpenWithDefaultProgram(const CString& path);
