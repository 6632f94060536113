// CNRegistryKey: a registry key opened or created by one text path, keeping the error of every
// step.
#include "settings/CNRegistryKey.h"

#include "foundation/CNTokenList.h"
#include "foundation/text_utils.h"
#include "platform/last_error.h"
#include "settings/registry_ops.h"

namespace {

struct SRootName {
    ERegRoot m_root;
    const wchar_t* m_names[3];
};

// Searched in this order; the first match wins.
const SRootName kRootNames[] = {
    {kRegRootClassesRoot, {L"HKEY_CLASSES_ROOT", L"HCR", L"HKCR"}},
    {kRegRootCurrentConfig, {L"HKEY_CURRENT_CONFIG", L"HCC", L"HKCC"}},
    {kRegRootCurrentUser, {L"HKEY_CURRENT_USER", L"HCU", L"HKCU"}},
    {kRegRootLocalMachine, {L"HKEY_LOCAL_MACHINE", L"HLM", L"HKLM"}},
    {kRegRootUsers, {L"HKEY_USERS", L"HU", L"HKU"}},
    {kRegRootPerformanceData, {L"HKEY_PERFORMANCE_DATA", L"HPD", L"HKPD"}},
    {kRegRootDynData, {L"HKEY_DYN_DATA", L"HDD", L"HKDD"}},
};

} // namespace

BOOL CNRegistryKey::Record(DWORD error) {
    m_dwLastError = error;
    SetLastSystemError(error);
    return error == 0 ? TRUE : FALSE;
}

BOOL CNRegistryKey::LookupRootKey(const CString& name, HKEY* root) {
    if (name.empty())
        return FALSE;
    for (const SRootName& entry : kRootNames) {
        for (const wchar_t* candidate : entry.m_names) {
            if (EqualNoCase(name, candidate)) {
                *root = PlatformRegRootKey(entry.m_root);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CNRegistryKey::Close() {
    if (m_hKey != nullptr) {
        DWORD error = GetRegistryOps().m_pfnCloseKey(m_hKey);
        if (error != 0)
            return Record(error);
    }
    m_hKey = nullptr;
    m_samDesired = 0;
    m_bCreated = FALSE;
    return Record(0);
}

BOOL CNRegistryKey::Open(LPCWSTR path, REGSAM access) {
    if (!Close())
        return FALSE;
    if (path == nullptr)
        return Record(kRegErrorInvalidParameter);
    CNTokenList components(path, L"\\");
    HKEY root = nullptr;
    if (components.GetCount() == 0 || !LookupRootKey(components.RemoveHead(), &root))
        return Record(kRegErrorInvalidParameter);
    if (components.GetCount() == 0) {
        HKEY handle = nullptr;
        if (!Record(GetRegistryOps().m_pfnOpenKey(root, nullptr, access, &handle)))
            return FALSE;
        m_hKey = handle;
        m_samDesired = access;
        return TRUE;
    }
    return Open(root, components.Join(L"\\").c_str(), access);
}

BOOL CNRegistryKey::Open(HKEY parent, LPCWSTR subPath, REGSAM access) {
    if (!Close())
        return FALSE;
    if (parent == nullptr)
        return Record(kRegErrorInvalidParameter);
    const SRegistryOps& ops = GetRegistryOps();
    HKEY current = nullptr;
    if (!Record(ops.m_pfnOpenKey(parent, nullptr, access, &current)))
        return FALSE;
    if (subPath != nullptr && *subPath != L'\0') {
        CNTokenList components(subPath, L"\\");
        BOOL create = (access & kRegCreateSubKey) != 0;
        BOOL created = FALSE;
        for (const CNTokenList::SNode* node = components.GetHead(); node != nullptr;
             node = node->m_pNext) {
            HKEY next = nullptr;
            DWORD disposition = 0;
            DWORD error = create ? ops.m_pfnCreateKey(current, node->m_data.c_str(), access, &next,
                                                      &disposition)
                                 : ops.m_pfnOpenKey(current, node->m_data.c_str(), access, &next);
            ops.m_pfnCloseKey(current);
            if (error != 0)
                return Record(error);
            if (create && disposition == kRegCreatedNewKey)
                created = TRUE;
            current = next;
        }
        m_bCreated = created;
    }
    m_hKey = current;
    m_samDesired = access;
    return Record(0);
}

BOOL CNRegistryKey::QueryValue(LPCWSTR valueName, CNRegistryValue& value) {
    if (m_hKey == nullptr)
        return Record(kRegErrorInvalidHandle);
    const SRegistryOps& ops = GetRegistryOps();
    DWORD type = 0;
    DWORD size = 0;
    if (!Record(ops.m_pfnQueryValue(m_hKey, valueName, &type, nullptr, &size))) {
        value.Free(); // no stale data from an earlier read
        return FALSE;
    }
    DWORD tried = 0;
    for (;;) {
        // A system that reports the size it was just given again (instead of what it needs)
        // gets twice as much each time, up to the limit.
        if (size == tried) {
            if (tried >= kMaxValueBytes) {
                value.Free();
                return Record(kRegErrorInvalidFunction);
            }
            size = tried * 2;
        }
        if (size > kMaxValueBytes) {
            value.Free();
            return Record(kRegErrorInvalidFunction);
        }
        if (!value.Allocate(type, size))
            return Record(kRegErrorOutOfMemory);
        if (size == 0)
            return Record(0);
        tried = size;
        DWORD got = size;
        DWORD error = ops.m_pfnQueryValue(m_hKey, valueName, &type, value.GetBuffer(), &got);
        if (error == 0) {
            value.SetReported(type, got);
            return Record(0);
        }
        if (error != kRegErrorMoreData) {
            value.Free();
            return Record(error);
        }
        size = got;
    }
}

BOOL CNRegistryKey::SetValue(LPCWSTR valueName, const CNRegistryValue& value) {
    if (m_hKey == nullptr)
        return Record(kRegErrorInvalidHandle);
    return Record(GetRegistryOps().m_pfnSetValue(m_hKey, valueName, value.GetType(),
                                                 value.GetData(), value.GetSize()));
}
