// The system's own message text for an error code.
#pragma once

#include "foundation/base_types.h"

// The system's message for `code` as it comes (line breaks and blanks included). On Windows the
// system message table, and for network-management codes (2100 to 2999) also NETMSG.DLL when it
// can be loaded; on POSIX the C library's strerror_r. FALSE when the system has no text for the
// code (*text untouched). Thread-safe; may change the thread's last error.
bool PlatformErrorMessage(DWORD code, CString* text);
