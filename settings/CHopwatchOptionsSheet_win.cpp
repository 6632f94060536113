// CHopwatchOptionsSheet: the "Hopwatch Options" sheet with its Pings, Hosts and Export pages.
#include "settings/CHopwatchOptionsSheet_win.h"

#include "settings/options_rules.h"
#include "settings/settings_globals.h"

CHopwatchOptionsSheet::CHopwatchOptionsSheet(HWND parent)
    : m_sheet(L"Hopwatch Options", parent, 0) {
    m_sheet.AddPage(&m_pings);
    m_sheet.AddPage(&m_hosts);
    m_sheet.AddPage(&m_export);
}

BOOL CHopwatchOptionsSheet::Run() {
    CNTokenList before;
    before.AddTail(g_HostHistory);
    m_sheet.DoModal();
    if (SameTokenLists(before, g_HostHistory))
        return FALSE;
    g_bSaveSettings = TRUE;
    return TRUE;
}
