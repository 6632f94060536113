// CNPersistentStoreListEntry: a persistent entry for a list of strings, stored as REG_MULTI_SZ.
#include "settings/CNPersistentStoreListEntry.h"

#include "foundation/CNCrc32.h"
#include "foundation/numbers.h"
#include "foundation/utf.h"
#include "platform/registry.h"

CString CNPersistentStoreListEntry::GetValueText() const {
    return L"List of " + FormatUnsigned(static_cast<DWORD>(m_pValue->GetCount()), 10) + L" items";
}

DWORD CNPersistentStoreListEntry::ContentChecksum() const {
    CNCrc32 crc;
    crc.UpdateDword(static_cast<DWORD>(m_pValue->GetCount()));
    for (const CNTokenList::SNode* node = m_pValue->GetHead(); node != nullptr;
         node = node->m_pNext) {
        crc.UpdateDword(static_cast<DWORD>(ToUtf16(node->m_data).size()));
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
