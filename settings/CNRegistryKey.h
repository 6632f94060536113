// CNRegistryKey: a registry key opened or created by one text path, keeping the error of every
// step.
#pragma once

#include "foundation/base_types.h"
#include "platform/registry.h"
#include "settings/CNRegistryValue.h"

// Paths look like HKCU\Software\ORVANE\Hopwatch\Settings: the first component names a root key
// (long name, short name or abbreviation, any case), the rest are keys below it. Every operation
// stores its Win32 result in GetLastErrorCode() and makes it the thread's last error. One thread
// at a time.
class CNRegistryKey {
public:
    CNRegistryKey() = default;
    CNRegistryKey(const CNRegistryKey&) = delete;
    CNRegistryKey& operator=(const CNRegistryKey&) = delete;
    virtual ~CNRegistryKey() { Close(); }

    // Opens a full path. Fails with 87 for a null path or an unknown root name. A path that is
    // only a root name opens the root itself.
    BOOL Open(LPCWSTR path, REGSAM access);
    // Opens a path relative to an open or a root key. With kRegCreateSubKey in `access` every
    // missing component is created (IsCreated() then tells whether one was); without it a
    // missing component fails with the registry's not-found error and nothing is created.
    BOOL Open(HKEY parent, LPCWSTR subPath, REGSAM access);
    // Reads one value (null name: the key's default value), retrying with the reported size
    // while the value grows. Fails with 6 without an open key, with 1 when the value still
    // grows at 128 MiB. A failed read leaves `value` empty.
    BOOL QueryValue(LPCWSTR valueName, CNRegistryValue& value);
    // Writes one value; fails with 6 without an open key.
    BOOL SetValue(LPCWSTR valueName, const CNRegistryValue& value);
    // Closes the handle, if any. FALSE (handle kept) when the system refuses to close it.
    BOOL Close();

    HKEY GetHandle() const { return m_hKey; }
    REGSAM GetAccess() const { return m_samDesired; }
    DWORD GetLastErrorCode() const { return m_dwLastError; }
    BOOL IsCreated() const { return m_bCreated; }

    // The root key a path component names (compared without regard to case); FALSE for an
    // empty or unknown name.
    static BOOL LookupRootKey(const CString& name, HKEY* root);

    // Reads above this size are given up (the value keeps growing or the system misreports).
    static constexpr DWORD kMaxValueBytes = 128u << 20;

private:
    // Records `error` (also as the thread's last error); returns TRUE exactly when it is 0.
    BOOL Record(DWORD error);

    HKEY m_hKey = nullptr;
    REGSAM m_samDesired = 0;
    DWORD m_dwLastError = kRegErrorInvalidHandle;
    BOOL m_bCreated = FALSE;
};
