// CHopwatchDlg::OnAbout: the system menu's About entry.
#include "app/CHopwatchDlg.h"

#include "hopwatch_version.h"
#include "ui/ui_message_box.h"

// Until the About box exists: the product name and version in a plain box.
void CHopwatchDlg::OnAbout() {
    UiMessageBox(m_hWnd, CString(L"Hopwatch ") + HOPWATCH_VERSION_TEXT_W, L"About Hopwatch",
                 MB_OK | MB_ICONINFORMATION);
}
