// The list part of the report's snapshot, read from a results list that is not a window.
#include "report/report_from_list.h"

#include "results/list_columns.h"

BOOL SnapshotReportList(const CHopwatchListView& list, SHopwatchReportInput& input) {
    if (!input.columns.SetSize(kHopwatchColumnCount))
        return FALSE;
    for (int c = 0; c < kHopwatchColumnCount; ++c) {
        input.columns[c].header = HopwatchColumnHeader(c);
        // A list view always shows its first column left-aligned, whatever it was created with.
        input.columns[c].format =
            c != 0 && HopwatchColumnRightAligned(c) ? kReportHeaderRight : kReportHeaderLeft;
    }
    const int count = list.GetItemCount();
    if (!input.items.SetSize(count))
        return FALSE;
    for (int r = 0; r < count; ++r) {
        SHopwatchReportItem& item = input.items[r];
        if (!item.texts.SetSize(kHopwatchColumnCount) || !item.colors.SetSize(kHopwatchColumnCount))
            return FALSE;
        for (int c = 0; c < kHopwatchColumnCount; ++c) {
            list.GetItemText(r, c, item.texts[c]);
            item.colors[c] = list.GetCellColor(r, c);
        }
        item.image = list.GetItemImage(r);
    }
    return TRUE;
}
