// Keeps the user settings a test changes: taken when the test object is built, put back when
// it goes, so the next test starts from the same settings.
#pragma once

#include "foundation/CNTokenList.h"
#include "settings/settings_globals.h"

class CSettingsSnapshot {
public:
    CSettingsSnapshot() { m_history.AddTail(g_HostHistory); }
    ~CSettingsSnapshot() {
        g_dwPingIntervalMS = m_interval;
        g_dwPingTimeoutMS = m_timeout;
        g_bReverseDNS = m_reverseDns;
        g_bExportIcons = m_exportIcons;
        g_dwMaxTTL = m_maxTtl;
        g_dwProbeMethod = m_probeMethod;
        g_bExportTimeline = m_exportTimeline;
        g_strMainWndPos = m_placement;
        g_HostHistory.RemoveAll();
        g_HostHistory.AddTail(m_history);
        g_bSaveSettings = m_save;
        g_dwRecordRuns = m_recordRuns;
        g_dwRecordingsBudgetMB = m_budget;
    }
    CSettingsSnapshot(const CSettingsSnapshot&) = delete;
    CSettingsSnapshot& operator=(const CSettingsSnapshot&) = delete;

private:
    DWORD m_interval = g_dwPingIntervalMS;
    DWORD m_timeout = g_dwPingTimeoutMS;
    int m_reverseDns = g_bReverseDNS;
    int m_exportIcons = g_bExportIcons;
    DWORD m_maxTtl = g_dwMaxTTL;
    DWORD m_probeMethod = g_dwProbeMethod;
    int m_exportTimeline = g_bExportTimeline;
    CString m_placement = g_strMainWndPos;
    CNTokenList m_history;
    BOOL m_save = g_bSaveSettings;
    DWORD m_recordRuns = g_dwRecordRuns;
    DWORD m_budget = g_dwRecordingsBudgetMB;
};
