// CNPersistentStore: the registered settings entries, loaded once at start and saved when changed.
#include "settings/CNPersistentStore.h"

#include <new>

#include "platform/registry.h"
#include "settings/CNRegistryKey.h"

BOOL CNPersistentStore::Add(CNPersistentStoreEntry* entry) {
    if (entry == nullptr)
        return FALSE;
    if (m_entries.AddTail(entry) == nullptr) {
        delete entry;
        return FALSE;
    }
    return TRUE;
}

BOOL CNPersistentStore::AddIntEntry(const CString& name, int* variable) {
    return Add(new (std::nothrow) CNPersistentStoreIntEntry(name, variable));
}

BOOL CNPersistentStore::AddDwordEntry(const CString& name, DWORD* variable) {
    return Add(new (std::nothrow) CNPersistentStoreDwordEntry(name, variable));
}

BOOL CNPersistentStore::AddStringEntry(const CString& name, CString* variable) {
    return Add(new (std::nothrow) CNPersistentStoreStringEntry(name, variable));
}

BOOL CNPersistentStore::AddListEntry(const CString& name, CNTokenList* variable) {
    return Add(new (std::nothrow) CNPersistentStoreListEntry(name, variable));
}

BOOL CNPersistentStore::LoadAll() {
    CNRegistryKey key;
    if (!key.Open(m_strKeyPath.c_str(), kRegRead)) {
        key.Close();
        return TRUE;
    }
    for (const NPtrList::SNode* node = m_entries.GetHead(); node != nullptr; node = node->m_pNext)
        if (!m_entries.ItemOf(node)->Load(key, FALSE))
            return FALSE;
    key.Close();
    return TRUE;
}

BOOL CNPersistentStore::SaveAll() {
    if (!IsAnyModified())
        return TRUE;
    CNRegistryKey key;
    if (!key.Open(m_strKeyPath.c_str(), kRegReadWrite))
        return FALSE;
    for (const NPtrList::SNode* node = m_entries.GetHead(); node != nullptr; node = node->m_pNext)
        if (!m_entries.ItemOf(node)->Save(key, FALSE))
            return FALSE;
    key.Close();
    return TRUE;
}

BOOL CNPersistentStore::IsAnyModified() const {
    for (const NPtrList::SNode* node = m_entries.GetHead(); node != nullptr; node = node->m_pNext)
        if (m_entries.ItemOf(node)->IsModified())
            return TRUE;
    return FALSE;
}

CNPersistentStoreEntry* CNPersistentStore::Find(const CString& name) const {
    for (const NPtrList::SNode* node = m_entries.GetHead(); node != nullptr; node = node->m_pNext)
        if (m_entries.ItemOf(node)->GetName() == name)
            return m_entries.ItemOf(node);
    return nullptr;
}
