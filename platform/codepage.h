// Conversion of 8-bit text in a system code page to the program's wide strings.
#pragma once

#include "foundation/base_types.h"

// Converts `length` bytes (length > 0) of `text` from `codePage` (0: the system ANSI code page)
// into `out`. Windows uses the system's conversion; Linux has no code pages and reads every code
// page as UTF-8, taking a byte that is not part of valid UTF-8 as the Latin-1 character of that
// value. FALSE (out untouched) when the system cannot convert the text. Any thread.
bool PlatformMultiByteToWide(UINT codePage, const char* text, int length, CString& out);
