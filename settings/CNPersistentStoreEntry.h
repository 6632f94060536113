// The persistent entries: one program variable bound to one registry value, with CRC-32 change
// detection.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/base_types.h"
#include "settings/CNRegistryKey.h"
#include "settings/CNRegistryValue.h"

// An entry never owns its variable. Changes are found by comparing a CRC-32 of the variable's
// serialised content with the one taken at the last load or save, so any code may assign the
// variable directly. Main thread only.
class CNPersistentStoreEntry {
public:
    CNPersistentStoreEntry(const CNPersistentStoreEntry&) = delete;
    CNPersistentStoreEntry& operator=(const CNPersistentStoreEntry&) = delete;
    virtual ~CNPersistentStoreEntry() = default;

    // TRUE when the variable's content differs from the last load or save.
    virtual BOOL IsModified() const { return ContentChecksum() != m_checksum; }
    // The value as display text.
    virtual CString GetValueText() const = 0;
    // Reads the value. A missing value, another type or size or a read error leave the variable
    // as it is and return !required; an accepted value is stored and TRUE returned.
    virtual BOOL Load(CNRegistryKey& key, BOOL required);
    // Writes the value unless it is unchanged and was loaded or saved before (force: always).
    // FALSE with the error on the key when the key is not open or the write fails.
    virtual BOOL Save(CNRegistryKey& key, BOOL force);
    // Takes the current content as saved (FALSE) or marks it as changed until the next load or
    // save (TRUE).
    virtual void SetModified(BOOL modified) {
        m_checksum = modified ? ~ContentChecksum() : ContentChecksum();
    }

    const CString& GetName() const { return m_strName; }
    BOOL IsLoaded() const { return m_bLoaded; }
    DWORD GetChecksum() const { return m_checksum; }

protected:
    explicit CNPersistentStoreEntry(const CString& name) : m_strName(name) {}

    // The CRC-32 of the serialised content (integers little-endian, text as UTF-16LE).
    virtual DWORD ContentChecksum() const = 0;
    // Stores `value` into the variable when its type and size fit; FALSE leaves it untouched.
    virtual BOOL AcceptValue(const CNRegistryValue& value) = 0;
    // The registry form of the variable.
    virtual BOOL MakeValue(CNRegistryValue& value) const = 0;

    BOOL m_bLoaded = FALSE;
    DWORD m_checksum = 0;
    CString m_strName;
};

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
