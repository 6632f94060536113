// CHopwatchDlg::OnAbout: the system menu's About entry.
#include "app/CAboutBox.h"
#include "app/CHopwatchDlg.h"

void CHopwatchDlg::OnAbout() {
    CAboutBox about(m_hWnd);
    about.DoModal();
}
