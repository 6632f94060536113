// The persistent entries: one program variable bound to one registry value, with CRC-32 change
// detection.
#include "settings/CNPersistentStoreEntry.h"

#include "foundation/CNCrc32.h"
#include "foundation/numbers.h"
#include "foundation/utf.h"
#include "platform/registry.h"

namespace {

void UpdateDword(CNCrc32& crc, DWORD value) {
    BYTE bytes[4] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>((value >> 8) & 0xFF),
                     static_cast<BYTE>((value >> 16) & 0xFF), static_cast<BYTE>(value >> 24)};
    crc.Update(bytes, sizeof(bytes));
}

DWORD Crc32OfDword(DWORD value) {
    CNCrc32 crc;
    UpdateDword(crc, value);
    return crc.GetChecksum();
}

BOOL IsDwordValue(const CNRegistryValue& value) {
    return (value.GetType() == kRegDword || value.GetType() == kRegDwordBigEndian) &&
           value.GetData() != nullptr && value.GetSize() == 4;
}

BOOL IsStringValue(const CNRegistryValue& value) {
    return value.GetType() == kRegSz || value.GetType() == kRegExpandSz;
}

} // namespace

BOOL CNPersistentStoreEntry::Load(CNRegistryKey& key, BOOL required) {
    CNRegistryValue value;
    if (key.QueryValue(m_strName.c_str(), value) && AcceptValue(value)) {
        m_checksum = ContentChecksum();
        m_bLoaded = TRUE;
        return TRUE;
    }
    m_bLoaded = FALSE;
    return required ? FALSE : TRUE;
}

BOOL CNPersistentStoreEntry::Save(CNRegistryKey& key, BOOL force) {
    if (!force && !IsModified() && m_bLoaded)
        return TRUE;
    CNRegistryValue value;
    if (!MakeValue(value))
        return FALSE;
    if (!key.SetValue(m_strName.c_str(), value))
        return FALSE;
    m_checksum = ContentChecksum();
    m_bLoaded = TRUE;
    return TRUE;
}

namespace persistent_entry {

DWORD Checksum(const int& variable) {
    return Crc32OfDword(static_cast<DWORD>(variable));
}
DWORD Checksum(const DWORD& variable) {
    return Crc32OfDword(variable);
}
DWORD Checksum(const CString& variable) {
    CNCrc32 crc;
    return crc.UpdateString(variable);
}

CString Text(const int& variable) {
    return FormatSigned(static_cast<std::int32_t>(variable));
}
CString Text(const DWORD& variable) {
    return FormatUnsigned(variable, 10);
}
CString Text(const CString& variable) {
    return L"\"" + variable + L"\"";
}

BOOL Accept(const CNRegistryValue& value, int& variable) {
    DWORD stored = 0;
    if (!IsDwordValue(value) || !value.GetDword(&stored))
        return FALSE;
    variable = static_cast<int>(stored);
    return TRUE;
}
BOOL Accept(const CNRegistryValue& value, DWORD& variable) {
    DWORD stored = 0;
    if (!IsDwordValue(value) || !value.GetDword(&stored))
        return FALSE;
    variable = stored;
    return TRUE;
}
BOOL Accept(const CNRegistryValue& value, CString& variable) {
    if (!IsStringValue(value))
        return FALSE;
    variable = value.GetString();
    return TRUE;
}

BOOL Make(const int& variable, CNRegistryValue& value) {
    return value.SetDword(static_cast<DWORD>(variable));
}
BOOL Make(const DWORD& variable, CNRegistryValue& value) {
    return value.SetDword(variable);
}
BOOL Make(const CString& variable, CNRegistryValue& value) {
    return value.SetString(variable.c_str());
}

} // namespace persistent_entry

// ---- list ----

CString CNPersistentStoreListEntry::GetValueText() const {
    return L"List of " + FormatUnsigned(static_cast<DWORD>(m_pValue->GetCount()), 10) + L" items";
}

DWORD CNPersistentStoreListEntry::ContentChecksum() const {
    CNCrc32 crc;
    UpdateDword(crc, static_cast<DWORD>(m_pValue->GetCount()));
    for (const CNTokenList::SNode* node = m_pValue->GetHead(); node != nullptr;
         node = node->m_pNext) {
        UpdateDword(crc, static_cast<DWORD>(ToUtf16(node->m_data).size()));
        crc.UpdateString(node->m_data);
    }
    return crc.GetChecksum();
}

BOOL CNPersistentStoreListEntry::AcceptValue(const CNRegistryValue& value) {
    if (value.GetType() != kRegMultiSz)
        return FALSE;
    m_pValue->RemoveAll();
    value.GetMultiString(*m_pValue);
    return TRUE;
}

BOOL CNPersistentStoreListEntry::MakeValue(CNRegistryValue& value) const {
    return value.SetMultiString(*m_pValue);
}
