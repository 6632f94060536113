// The registry's five operations: the real registry on Windows, a file-backed store elsewhere.
#pragma once

#include "foundation/base_types.h"

// HKEY as <windows.h> declares it, so both headers may be included together. On POSIX a handle
// points at a record of the file-backed store (or is one of the predefined root values).
struct HKEY__;
typedef struct HKEY__* HKEY;
typedef DWORD REGSAM;

// Access rights and results with the values of the Win32 API.
const REGSAM kRegQueryValue = 0x0001;   // KEY_QUERY_VALUE
const REGSAM kRegSetValue = 0x0002;     // KEY_SET_VALUE
const REGSAM kRegCreateSubKey = 0x0004; // KEY_CREATE_SUB_KEY
const REGSAM kRegRead = 0x20019;        // KEY_READ
const REGSAM kRegReadWrite = 0x2001F;   // KEY_READ | KEY_WRITE
const DWORD kRegCreatedNewKey = 1;      // REG_CREATED_NEW_KEY
const DWORD kRegOpenedExistingKey = 2;  // REG_OPENED_EXISTING_KEY

// Value types.
const DWORD kRegSz = 1;
const DWORD kRegExpandSz = 2;
const DWORD kRegBinary = 3;
const DWORD kRegDword = 4;
const DWORD kRegDwordBigEndian = 5;
const DWORD kRegMultiSz = 7;

// Win32 error codes the registry layer produces or passes on.
const DWORD kRegErrorInvalidFunction = 1;   // ERROR_INVALID_FUNCTION
const DWORD kRegErrorFileNotFound = 2;      // ERROR_FILE_NOT_FOUND
const DWORD kRegErrorAccessDenied = 5;      // ERROR_ACCESS_DENIED
const DWORD kRegErrorInvalidHandle = 6;     // ERROR_INVALID_HANDLE
const DWORD kRegErrorOutOfMemory = 14;      // ERROR_OUTOFMEMORY
const DWORD kRegErrorInvalidParameter = 87; // ERROR_INVALID_PARAMETER
const DWORD kRegErrorMoreData = 234;        // ERROR_MORE_DATA
const DWORD kRegErrorKeyDeleted = 1018;     // ERROR_KEY_DELETED
const DWORD kRegErrorWriteFault = 29;       // ERROR_WRITE_FAULT

// The predefined root keys in the order of their Win32 values (0x80000000 + index).
enum ERegRoot {
    kRegRootClassesRoot = 0,
    kRegRootCurrentUser = 1,
    kRegRootLocalMachine = 2,
    kRegRootUsers = 3,
    kRegRootPerformanceData = 4,
    kRegRootCurrentConfig = 5,
    kRegRootDynData = 6,
};
// The handle of a predefined root key (HKEY_CURRENT_USER and so on).
HKEY PlatformRegRootKey(ERegRoot root);

// The five operations, shaped like RegOpenKeyExW, RegCreateKeyExW (non-volatile, no class, no
// security), RegQueryValueExW, RegSetValueExW and RegCloseKey. Each returns 0 or a Win32 error
// code and never sets the thread's last error itself. A null or empty sub key opens a new handle
// on `parent`. Names of keys compare without regard to case, value names too. Sizes are in bytes;
// string data is UTF-16LE on every platform. Handles may be used from any thread, one at a time.
DWORD PlatformRegOpenKey(HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result);
DWORD PlatformRegCreateKey(HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result,
                           DWORD* disposition);
// With data null only the type and size are reported. With a buffer smaller than the value the
// needed size goes to *size and kRegErrorMoreData is returned.
DWORD PlatformRegQueryValue(HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size);
DWORD PlatformRegSetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size);
// Closing a predefined root key succeeds and does nothing.
DWORD PlatformRegCloseKey(HKEY key);

// The file that holds the store on POSIX (under $XDG_CONFIG_HOME, else ~/.config, in
// "hopwatch/"); empty on Windows, where the system keeps the registry.
CString PlatformRegistryStorePath();
// Test seam of the file-backed store: with TRUE, every later write stops after the temporary file
// has been written and before it replaces the store, as a crash at that moment would, and fails
// with kRegErrorWriteFault. Returns FALSE where there is no such store (Windows).
BOOL PlatformRegistrySimulateCrashBeforeRename(BOOL enable);
