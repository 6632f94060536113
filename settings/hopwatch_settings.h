// The program's settings store: where the seven settings and those beside them live in the
// registry and how they are bound.
#pragma once

#include "settings/CNPersistentStore.h"

// The maker's key of the program; the settings key is "Settings" below it.
extern const wchar_t kSettingsBaseKey[];
extern const wchar_t kSettingsKeyName[];

// The one store of the program's settings.
extern CNPersistentStore g_PersistentStore;

// Empties `store`, sets its key path (HKCU\Software\ORVANE\Hopwatch\Settings) and registers the
// settings in their load and save order: the seven MainWndPos, HostHistory, PingIntervalMS,
// PingTimeoutMS, ReverseDNS, ExportIcons, MaxTTL, then RecordRuns and RecordingsBudgetMB, each
// bound to its global; then ProbeMethod (REG_DWORD, g_dwProbeMethod) and ExportTimeline
// (REG_DWORD, g_bExportTimeline), which are written only when they changed. Main thread only.
void PrepareSettingsStore(CNPersistentStore& store);
