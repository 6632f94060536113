// CNPersistentStoreTEntry: a persistent entry for an int, a DWORD or a CString variable.
#pragma once

#include "foundation/base_types.h"
#include "settings/CNPersistentStoreEntry.h"
#include "settings/CNRegistryValue.h"

// How each variable type of CNPersistentStoreTEntry is checksummed, shown, read and written.
namespace persistent_entry {
DWORD Checksum(const int& variable);
DWORD Checksum(const DWORD& variable);
DWORD Checksum(const CString& variable);
CString Text(const int& variable);
CString Text(const DWORD& variable);
CString Text(const CString& variable);
BOOL Accept(const CNRegistryValue& value, int& variable);
BOOL Accept(const CNRegistryValue& value, DWORD& variable);
BOOL Accept(const CNRegistryValue& value, CString& variable);
BOOL Make(const int& variable, CNRegistryValue& value);
BOOL Make(const DWORD& variable, CNRegistryValue& value);
BOOL Make(const CString& variable, CNRegistryValue& value);
} // namespace persistent_entry

// An integer (used as a BOOL), an unsigned integer or a string, stored as REG_DWORD (accepting
// REG_DWORD_BIG_ENDIAN too, bytes as stored) or REG_SZ (accepting REG_EXPAND_SZ, unexpanded).
template <class TYPE, class ARG_TYPE>
class CNPersistentStoreTEntry : public CNPersistentStoreEntry {
public:
    CNPersistentStoreTEntry(const CString& name, TYPE* variable)
        : CNPersistentStoreEntry(name), m_pValue(variable) {
        m_checksum = persistent_entry::Checksum(*m_pValue);
    }

    // Signed or unsigned decimal, or the string between double quotes.
    CString GetValueText() const override { return persistent_entry::Text(*m_pValue); }

protected:
    DWORD ContentChecksum() const override { return persistent_entry::Checksum(*m_pValue); }
    BOOL AcceptValue(const CNRegistryValue& value) override {
        return persistent_entry::Accept(value, *m_pValue);
    }
    BOOL MakeValue(CNRegistryValue& value) const override {
        return persistent_entry::Make(*m_pValue, value);
    }

private:
    TYPE* m_pValue;
};

typedef CNPersistentStoreTEntry<int, DWORD> CNPersistentStoreIntEntry;
typedef CNPersistentStoreTEntry<DWORD, DWORD> CNPersistentStoreDwordEntry;
typedef CNPersistentStoreTEntry<CString, CString> CNPersistentStoreStringEntry;
