// CNPersistentStoreEntry: the base of the persistent entries, one variable bound to one registry
// value.
#include "settings/CNPersistentStoreEntry.h"

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
