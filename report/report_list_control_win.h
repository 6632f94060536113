// The list part of the report's snapshot, read from the results list control through its messages.
#pragma once

#include <windows.h>

#include "report/report_input.h"
#include "results/CHopwatchListView.h"

// Fills input.columns from the list view's header (text and format of every header item) and
// input.items from its items (every column's text, the image index) and from `rows`, the list's
// own per-row store, the cell colours. A text that cannot be read is empty, an image that cannot
// be read is -1. FALSE when memory ran out. User-interface thread (the list's own).
BOOL SnapshotReportListControl(HWND listView, const CHopwatchListView& rows,
                               SHopwatchReportInput& input);
