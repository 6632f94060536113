// CNPersistentStoreListEntry: a persistent entry for a list of strings, stored as REG_MULTI_SZ.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/base_types.h"
#include "settings/CNPersistentStoreEntry.h"

// A list of strings stored as REG_MULTI_SZ.
class CNPersistentStoreListEntry : public CNPersistentStoreEntry {
public:
    CNPersistentStoreListEntry(const CString& name, CNTokenList* variable)
        : CNPersistentStoreEntry(name), m_pValue(variable) {
        m_checksum = ContentChecksum();
    }

    // "List of <count> items".
    CString GetValueText() const override;

protected:
    DWORD ContentChecksum() const override;
    BOOL AcceptValue(const CNRegistryValue& value) override;
    BOOL MakeValue(CNRegistryValue& value) const override;

private:
    CNTokenList* m_pValue;
};
