// The program's settings store: where the seven settings live in the registry and how they are
// bound.
#include "settings/hopwatch_settings.h"

#include "foundation/text_utils.h"
#include "settings/settings_globals.h"

const wchar_t kSettingsBaseKey[] = L"HKCU\\Software\\ORVANE\\Hopwatch\\";
const wchar_t kSettingsKeyName[] = L"Settings";

CNPersistentStore g_PersistentStore;

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
    store.AddIntEntry(L"ExportTimeline", &g_bExportTimeline);
}
