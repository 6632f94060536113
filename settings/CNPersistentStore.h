// CNPersistentStore: the registered settings entries, loaded once at start and saved when changed.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/NPtrList.h"
#include "foundation/NTypedPtrList.h"
#include "foundation/base_types.h"
#include "settings/CNPersistentStoreEntry.h"
#include "settings/CNPersistentStoreListEntry.h"
#include "settings/CNPersistentStoreTEntry.h"

// Entries are loaded and saved in registration order under one key. Main thread only, before the
// main window exists and after it has gone. Failures are not shown to anyone: the defaults (or
// the values already held) simply stay in force.
class CNPersistentStore {
public:
    CNPersistentStore() = default;
    CNPersistentStore(const CNPersistentStore&) = delete;
    CNPersistentStore& operator=(const CNPersistentStore&) = delete;
    virtual ~CNPersistentStore() { RemoveAll(TRUE); }

    // The full registry path of the settings key (HKCU\...).
    void SetKeyPath(const CString& path) { m_strKeyPath = path; }
    const CString& GetKeyPath() const { return m_strKeyPath; }

    // Empties the entry list; with TRUE the entries are destroyed.
    void RemoveAll(BOOL deleteEntries) { m_entries.RemoveAll(deleteEntries); }

    // Bind a variable to a value name; the entry starts as not loaded and unchanged. FALSE when
    // memory ran out (nothing registered).
    BOOL AddIntEntry(const CString& name, int* variable);
    BOOL AddDwordEntry(const CString& name, DWORD* variable);
    BOOL AddStringEntry(const CString& name, CString* variable);
    BOOL AddListEntry(const CString& name, CNTokenList* variable);
    // Registers an entry of another kind, which the store then owns (deleted at once on failure).
    BOOL AddEntry(CNPersistentStoreEntry* entry) { return Add(entry); }

    // Opens the key read-only (creating nothing) and loads every entry. A key that cannot be
    // opened leaves all defaults in force and still gives TRUE.
    BOOL LoadAll();
    // Does nothing unless an entry changed; then opens the key for writing (creating what is
    // missing) and saves every entry that changed or was never loaded, stopping at the first
    // failure.
    BOOL SaveAll();
    // TRUE as soon as one entry reports a change.
    BOOL IsAnyModified() const;

    int GetCount() const { return m_entries.GetCount(); }
    // The entry registered under `name` (exact), or nullptr.
    CNPersistentStoreEntry* Find(const CString& name) const;

private:
    BOOL Add(CNPersistentStoreEntry* entry);

    CString m_strKeyPath;
    NTypedPtrList<CNPersistentStoreEntry*> m_entries{FALSE};
};
