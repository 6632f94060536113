// The user settings as program variables: the single source of truth while the program runs.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/base_types.h"

extern DWORD g_dwPingIntervalMS;     // salvo interval in ms, 1000 by default
extern DWORD g_dwPingTimeoutMS;      // per-probe timeout in ms, 5000 by default
extern int g_bReverseDNS;            // reverse name lookups on (non-zero) or off
extern int g_bExportIcons;           // route-state icons in the HTML report
extern DWORD g_dwMaxTTL;             // highest TTL probed, 32 by default
extern CString g_strMainWndPos;      // window placement text, empty by default
extern CNTokenList g_HostHistory;    // hosts pinged, most recent first; empty by default
extern DWORD g_dwRecordRuns;         // every run written to a recording (non-zero), 1 by default
extern DWORD g_dwRecordingsBudgetMB; // the recordings folder's size in MB, 1024 by default
// How probes go out (registry value ProbeMethod beside the seven): kProbeSettingAuto by default.
extern DWORD g_dwProbeMethod;
// The timeline section in the HTML report (registry value ExportTimeline beside the seven): on.
extern int g_bExportTimeline;
// Whether the changed settings are written back at exit: set at start, cleared when the program
// starts with command-line arguments, set again by "/save" and by a host history changed in the
// options.
extern BOOL g_bSaveSettings;

// Limits that the options pages and the command line keep; the engine brings values loaded from
// elsewhere into them when a run starts.
constexpr DWORD kMinPingIntervalMS = 1;
constexpr DWORD kMinPingTimeoutMS = 1;
constexpr DWORD kMinMaxTTL = 1;
constexpr DWORD kMaxMaxTTL = 256;
// Values of g_dwProbeMethod: the raw socket where this user may open one, else the way that needs
// no rights (ICMP datagram sockets on Linux, the system's ICMP service on Windows); the raw
// socket only; that other way only. Any other value is taken as automatic.
constexpr DWORD kProbeSettingAuto = 0;
constexpr DWORD kProbeSettingRaw = 1;
constexpr DWORD kProbeSettingSystem = 2;
