// The persistent entries: one program variable bound to one registry value, with CRC-32 change
// detection.
#pragma once

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
