// Conversion between program text and the system's 8-bit code page used by the socket layer.
#pragma once

#include <string>

#include "foundation/base_types.h"

// Converts text to the system's 8-bit code page (the ANSI code page on Windows, UTF-8 on POSIX).
// FALSE (out emptied) when a character has no exact counterpart there or the text holds a NUL,
// so a name is never silently replaced by a different one. Thread-safe.
bool PlatformWideToAnsi(const CString& text, std::string& out);

// Converts a name the socket layer returned; the same as AnsiToString (foundation/text_utils.h):
// an unconvertible text gives an empty string. Thread-safe.
CString PlatformAnsiToWide(const std::string& text);
