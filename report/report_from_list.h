// The list part of the report's snapshot, read from a results list that is not a window.
#pragma once

#include "foundation/base_types.h"
#include "report/report_input.h"
#include "results/CHopwatchListView.h"

// Fills input.columns with the twelve headers of the results list (formatted as the list
// control has them: the first column left, the number columns right) and input.items with each
// item's texts, image and cell colours. FALSE when memory ran out (the snapshot is then partial).
BOOL SnapshotReportList(const CHopwatchListView& list, SHopwatchReportInput& input);
