// CHopwatchDlg::OnListDblClk: a double-clicked hop of the results list becomes the new target.
#include "app/CHopwatchDlg.h"

#include <commctrl.h>

#include "engine/inet_address.h"
#include "results/hop_restart.h"
#include "settings/settings_globals.h"
#include "ui/ui_message_box.h"

// Works in any run state: after the user confirms, a running test is stopped (waiting for its
// workers) and the hop's address is started as if typed, except that it enters the history by
// exact comparison. The rows of the old run stay until the refresh brings the list in line.
void CHopwatchDlg::OnListDblClk(NMHDR* header) {
    const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
    SHopwatchHost row;
    if (!GetShownRow(activate->iItem, row))
        return; // an empty area of the list (item -1) or a row that is gone
    if (!IsRestartableHop(row.address, GetShownTargetAddress()))
        return;
    if (UiMessageBox(m_hWnd, HopRestartQuestion(row.address, row.name), L"Please confirm",
                     MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;

    CString host = FormatDottedAddress(row.address);
    m_data.Stop();
    UpdateRunState();
    PromoteHostExact(g_HostHistory, host);
    FillHostCombo(m_hostCombo);
    m_hostCombo.SetCurSel(0);
    UpdateStartButton();
    // As on the Start road, the bar shows the new host at once (a dotted address without a name
    // never changes the run's title, so the old target would stay on the bar), and a start that
    // fails is reported rather than silently leaving the window stopped with the old rows.
    StartRun(host);
    m_startTime = CNTimeStamp::Now();
    m_stopTime = CNTimeStamp();
    UpdateRunState();
    RefreshList();
    m_lastAutoSizeTick = ::GetTickCount();
    PostMessage(ms_cnAutoSizeMsgID, 0);
}
