// CHopwatchDlg::OnOptions: the Options button.
#include "app/CHopwatchDlg.h"

// The options sheet is not built yet; the button does nothing.
void CHopwatchDlg::OnOptions() {}
