// CHopwatchDlg::OnListDblClk: a double-click on the results list.
#include "app/CHopwatchDlg.h"

// Restarting on a double-clicked hop is not built yet; the double-click does nothing.
void CHopwatchDlg::OnListDblClk(NMHDR*) {}
