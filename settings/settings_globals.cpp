// Compiled-in defaults of the user settings.
#include "settings/settings_globals.h"

DWORD g_dwPingIntervalMS = 1000;
DWORD g_dwPingTimeoutMS = 5000;
int g_bReverseDNS = 1;
int g_bExportIcons = 1;
DWORD g_dwMaxTTL = 32;
int g_bExportTimeline = 1;
CString g_strMainWndPos;
CNTokenList g_HostHistory;
DWORD g_dwRecordRuns = 1;
DWORD g_dwRecordingsBudgetMB = 1024;
DWORD g_dwProbeMethod = kProbeSettingAuto;
BOOL g_bSaveSettings = TRUE;
