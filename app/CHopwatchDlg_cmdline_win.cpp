// CHopwatchDlg::ProcessCommandLine: the hosts named on the command line.
#include "app/CHopwatchDlg.h"

#include "foundation/blank_set.h"
#include "settings/host_history.h"
#include "settings/settings_globals.h"

// For now only the hosts are taken: each goes to the head of the history and so into the box,
// and the last one named is started. Options (tokens starting with '/') are skipped.
void CHopwatchDlg::ProcessCommandLine() {
    BOOL hostGiven = FALSE;
    while (m_pendingTokens.GetCount() > 0) {
        CString token = TrimBlanks(m_pendingTokens.RemoveHead());
        if (token.empty() || token[0] == L'/')
            continue;
        PushHostHistory(g_HostHistory, token);
        hostGiven = TRUE;
    }
    if (!hostGiven)
        return;
    FillHostCombo(m_hostCombo);
    m_hostCombo.SetCurSel(0);
    UpdateStartButton();
    if (!m_data.IsRunning())
        OnStartStop();
}
