// Conversion of program text into the system's 8-bit code page that the socket layer takes.
#pragma once

#include <string>

#include "foundation/base_types.h"

// Converts text to the system's 8-bit code page (the ANSI code page on Windows, UTF-8 on POSIX).
// FALSE (out emptied) when a character has no exact counterpart there or the text holds a NUL,
// so a name is never silently replaced by a different one. Thread-safe.
bool PlatformWideToAnsi(const CString& text, std::string& out);
