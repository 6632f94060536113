// The registry's five operations over the Win32 registry API.
#include "platform/registry.h"

#include <windows.h>

HKEY PlatformRegRootKey(ERegRoot root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u + root));
}

DWORD PlatformRegOpenKey(HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result) {
    return static_cast<DWORD>(RegOpenKeyExW(parent, subKey, 0, access, result));
}

DWORD PlatformRegCreateKey(HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result,
                           DWORD* disposition) {
    return static_cast<DWORD>(RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              access, nullptr, result, disposition));
}

DWORD PlatformRegQueryValue(HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size) {
    return static_cast<DWORD>(RegQueryValueExW(key, name, nullptr, type, data, size));
}

DWORD PlatformRegSetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    return static_cast<DWORD>(RegSetValueExW(key, name, 0, type, data, size));
}

DWORD PlatformRegCloseKey(HKEY key) {
    return static_cast<DWORD>(RegCloseKey(key));
}

CString PlatformRegistryStorePath() {
    return CString();
}

BOOL PlatformRegistrySimulateCrashBeforeRename(BOOL) {
    return FALSE;
}
