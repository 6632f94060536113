// The current directory and absolute paths, as the system sees them.
#pragma once

#include <cstddef>

#include "foundation/base_types.h"

// The error code of a path that does not fit the caller's limit (ERROR_INSUFFICIENT_BUFFER).
const DWORD kPathErrorInsufficientBuffer = 122;
// The error code of an empty or absent path (ERROR_INVALID_NAME).
const DWORD kPathErrorInvalidName = 123;

// The process's current directory into `out` (at most maxChars characters). Returns 0, or an
// error code (also made the thread's last error on Windows) with `out` untouched; 122 when the
// directory is longer than maxChars. Any thread.
DWORD PlatformGetCurrentDirectory(CString& out, size_t maxChars);

// The absolute form of `path` (relative paths are taken from the current directory, "." and ".."
// are resolved by their names, no link is followed) into `out`, at most maxChars characters.
// Returns 0 or an error code as above.
DWORD PlatformGetFullPathName(LPCWSTR path, CString& out, size_t maxChars);
