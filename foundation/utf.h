// Unicode conversions (UTF-16 units, UTF-8 bytes) that give the same bytes on every platform.
#pragma once

// wchar_t is UTF-16 on Windows and UTF-32 on Linux; checksums and the registry need UTF-16 code
// units and files and consoles need UTF-8, identical on both.

#include <cstddef>
#include <string>

#include "foundation/base_types.h"

// The UTF-16 code units of one wchar_t into out; returns 1 or 2. On Windows the unit is passed
// through as it is; a UTF-32 character above U+FFFF becomes a surrogate pair and a value beyond
// U+10FFFF becomes U+FFFD.
int WideCharToUtf16(wchar_t c, char16_t out[2]);

// The text as UTF-16 code units (no terminator).
std::u16string ToUtf16(const CString& text);
// UTF-16 code units back to the platform's wide string; on Linux surrogate pairs are joined and
// lone surrogates kept as they are.
CString FromUtf16(const char16_t* units, size_t count);

// The text as UTF-8 bytes; unpaired surrogates and invalid values become U+FFFD.
std::string ToUtf8(const CString& text);
// UTF-8 bytes as a wide string; every invalid or truncated sequence becomes U+FFFD.
CString FromUtf8(const std::string& bytes);
// Decodes `length` bytes of UTF-8. An invalid byte becomes U+FFFD, or with latin1Fallback the
// character of the same value (so 8-bit text that is not UTF-8 still reads sensibly).
CString Utf8ToWide(const char* bytes, size_t length, BOOL latin1Fallback);
