// CHopwatchDlg::OnOptions: the Options button opens the options sheet.
#include "app/CHopwatchDlg.h"

#include "settings/CHopwatchOptionsSheet_win.h"

// The pages write their values into the settings globals, which the next Start reads; only a
// changed host history concerns the window itself: the host box lists the history.
void CHopwatchDlg::OnOptions() {
    CHopwatchOptionsSheet options(m_hWnd);
    if (!options.Run())
        return;
    FillHostCombo(m_hostCombo);
    m_hostCombo.SetCurSel(0);
    UpdateStartButton();
}
