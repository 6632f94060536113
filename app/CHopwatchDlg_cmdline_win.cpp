// CHopwatchDlg::ProcessCommandLine: options, hosts, the automatic start and the help or error box.
#include "app/CHopwatchApp.h"
#include "app/CHopwatchDlg.h"
#include "settings/CHopwatchCommandLine.h"
#include "ui/ui_message_box.h"

// Runs once, posted by OnInitDialog when the command line held tokens. The rules (options,
// values, hosts, texts) are CHopwatchCommandLine's; this shows their outcome.
void CHopwatchDlg::ProcessCommandLine() {
    CHopwatchCommandLine line;
    line.GetPendingTokens().AddTail(m_pendingTokens);
    m_pendingTokens.RemoveAll();
    if (line.Process()) {
        FillHostCombo(m_hostCombo);
        m_hostCombo.SetCurSel(0);
        UpdateStartButton();
    }
    if (line.ShouldShowBox()) {
        CString exe = CHopwatchCommandLine::UsageFileName(g_OwnVersionInfo.GetPath());
        UiMessageBox(m_hWnd, line.BoxText(exe), line.BoxCaption(),
                     MB_OK | (line.HasErrors() ? MB_ICONERROR : MB_ICONINFORMATION));
        return;
    }
    if (line.ShouldStart() && !m_data.IsRunning())
        OnStartStop();
}
