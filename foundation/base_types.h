// Basic Win32-style scalar and string types, shared by the portable core on every platform.
#pragma once

#include <cstdint>
#include <string>

// On Windows these match <windows.h> exactly, so both headers may be included together.
#ifdef _WIN32
typedef unsigned long DWORD;
#else
typedef std::uint32_t DWORD;
#endif
typedef int BOOL;
typedef wchar_t WCHAR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;
typedef DWORD COLORREF;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int UINT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// The program's value-semantic wide string. wchar_t is UTF-16 on Windows and UTF-32 on Linux;
// code that needs UTF-16 bytes on both goes through explicit conversions.
using CString = std::wstring;
