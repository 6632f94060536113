// Text functions beside the tokenizer: 8-bit text conversion and path helpers.
#pragma once

#include "foundation/base_types.h"
#include "foundation/utf.h" // ToUtf8 / FromUtf8 for callers of these helpers

// The longest directory or full path these helpers return, in characters.
const int kMaxPathChars = 4095;

// Converts 8-bit text from the system ANSI code page (on Linux: UTF-8, Latin-1 for invalid
// bytes). A null or unconvertible text gives an empty string. Any thread.
CString AnsiToString(const char* text);

// A newly malloc'ed, NUL-terminated wide copy of `length` bytes of `text` (negative length:
// NUL-terminated) in `codePage`; the caller frees it with free(). A null text or a failed
// conversion or allocation gives nullptr; an empty text gives an empty string.
wchar_t* MultiByteToWideDup(UINT codePage, const char* text, int length);

// TRUE when the texts are equal without regard to case (character by character, upper-cased as
// the C library's towupper does).
BOOL EqualNoCase(const CString& a, const CString& b);

// The path with a backslash appended unless it is empty or already ends with one.
CString WithTrailingBackslash(const CString& path);

// The current directory (at most kMaxPathChars characters) with a drive letter upper-cased.
// FALSE with `out` untouched when it fails; the error code (122 when too long) goes to *error
// when given and is the thread's last error on Windows.
BOOL GetCurrentDir(CString& out, DWORD* error = nullptr);

// The absolute form of `path` (at most kMaxPathChars characters); failures as GetCurrentDir.
BOOL GetFullPath(LPCWSTR path, CString& out, DWORD* error = nullptr);
