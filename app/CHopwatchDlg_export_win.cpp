// CHopwatchDlg::OnExport: the Export button.
#include "app/CHopwatchDlg.h"

// The HTML report is not written yet; the button does nothing.
void CHopwatchDlg::OnExport() {}
