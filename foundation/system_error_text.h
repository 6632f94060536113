// One line of text for a system error code, for the user.
#pragma once

#include "foundation/base_types.h"

// "Error " + the code in unsigned decimal + ": " + the system's message without surrounding
// blanks, or "Unknown system error" when the system has none. 0xFFFFFFFF stands for the calling
// thread's last error, read before anything else. With appendLineBreak a CR LF follows. The
// thread's last error is the same after the call as before it. Any thread; never fails.
CString SystemErrorText(DWORD code, BOOL appendLineBreak);
