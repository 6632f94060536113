// The registry operations the key wrapper calls: the platform's, or a test's replacement.
#pragma once

#include "platform/registry.h"

// One table of the five operations with the platform's signatures (platform/registry.h).
struct SRegistryOps {
    DWORD (*m_pfnOpenKey)(HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result);
    DWORD(*m_pfnCreateKey)
    (HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result, DWORD* disposition);
    DWORD (*m_pfnQueryValue)(HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size);
    DWORD (*m_pfnSetValue)(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size);
    DWORD (*m_pfnCloseKey)(HKEY key);
};

// The operations in force; the platform's unless a test replaced them. Main thread only.
const SRegistryOps& GetRegistryOps();
// The platform's own operations.
const SRegistryOps& PlatformRegistryOps();
// Replaces the operations (a test seam); null restores the platform's. The table must outlive
// its use.
void SetRegistryOps(const SRegistryOps* ops);
