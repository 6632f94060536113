// The program's settings store: where the seven settings and those beside them live in the
// registry and how they are bound.
#include "settings/hopwatch_settings.h"

#include <new>

#include "foundation/text_utils.h"
#include "settings/settings_globals.h"

const wchar_t kSettingsBaseKey[] = L"HKCU\\Software\\ORVANE\\Hopwatch\\";
const wchar_t kSettingsKeyName[] = L"Settings";

CNPersistentStore g_PersistentStore;

namespace {

// A setting added beside the seven: written only when its value changed, so that the settings
// key of a user who never chose one stays exactly as the seven leave it.
template <class TEntry> class CAddedEntry : public TEntry {
public:
    using TEntry::TEntry;
    BOOL Save(CNRegistryKey& key, BOOL force) override {
        return !force && !this->IsModified() ? TRUE : TEntry::Save(key, force);
    }
};

} // namespace

void PrepareSettingsStore(CNPersistentStore& store) {
    store.RemoveAll(TRUE);
    store.SetKeyPath(WithTrailingBackslash(kSettingsBaseKey) + kSettingsKeyName);
    store.AddStringEntry(L"MainWndPos", &g_strMainWndPos);
    store.AddListEntry(L"HostHistory", &g_HostHistory);
    store.AddDwordEntry(L"PingIntervalMS", &g_dwPingIntervalMS);
    store.AddDwordEntry(L"PingTimeoutMS", &g_dwPingTimeoutMS);
    store.AddIntEntry(L"ReverseDNS", &g_bReverseDNS);
    store.AddIntEntry(L"ExportIcons", &g_bExportIcons);
    store.AddDwordEntry(L"MaxTTL", &g_dwMaxTTL);
    store.AddDwordEntry(L"RecordRuns", &g_dwRecordRuns);
    store.AddDwordEntry(L"RecordingsBudgetMB", &g_dwRecordingsBudgetMB);
    store.AddEntry(new (std::nothrow)
                       CAddedEntry<CNPersistentStoreDwordEntry>(L"ProbeMethod", &g_dwProbeMethod));
    store.AddEntry(new (std::nothrow) CAddedEntry<CNPersistentStoreIntEntry>(L"ExportTimeline",
                                                                             &g_bExportTimeline));
}
