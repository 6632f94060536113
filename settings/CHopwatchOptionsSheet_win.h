// CHopwatchOptionsSheet: the "Hopwatch Options" sheet with its Pings, Hosts and Export pages.
#pragma once

#include <windows.h>

#include "settings/CHopwatchExportPP_win.h"
#include "settings/CHopwatchHostsPP_win.h"
#include "settings/CHopwatchPingsPP_win.h"
#include "ui/CPropertySheet.h"

// The pages edit copies of the settings taken at construction and write them into the globals
// on Apply or OK; nothing reaches the registry here. Run is the options command; tests may
// instead Create the sheet modeless through GetSheet and drive it with messages.
// User-interface thread only.
class CHopwatchOptionsSheet {
public:
    // parent: the main dialog (may be null).
    explicit CHopwatchOptionsSheet(HWND parent);

    // Runs the sheet modally. Whatever closed it, TRUE when the host history is not what it was
    // before (an Apply before Cancel counts); the save flag g_bSaveSettings is then set, so the
    // history is written at exit even after a start with command-line arguments.
    BOOL Run();

    CPropertySheet& GetSheet() { return m_sheet; }
    CHopwatchPingsPP& GetPingsPage() { return m_pings; }
    CHopwatchHostsPP& GetHostsPage() { return m_hosts; }
    CHopwatchExportPP& GetExportPage() { return m_export; }

private:
    // The pages before the sheet: the sheet's window goes first.
    CHopwatchPingsPP m_pings;
    CHopwatchHostsPP m_hosts;
    CHopwatchExportPP m_export;
    CPropertySheet m_sheet;
};
