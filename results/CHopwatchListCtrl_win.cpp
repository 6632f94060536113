// CHopwatchListCtrl: the results list: per-cell colours, black text and the
// history graph.
#include "results/CHopwatchListCtrl_win.h"

#include "results/history_graph.h"
#include "results/list_columns.h"

namespace {

// Whether a cell holds any text, without fetching all of it: this runs for every row painted.
bool HasCellText(const CListCtrl& list, int item, int column) {
    WCHAR first[2] = {};
    LVITEMW lvi = {};
    lvi.iSubItem = column;
    lvi.pszText = first;
    lvi.cchTextMax = 2;
    list.SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
    // The list view may answer with a pointer to its own copy instead of filling the buffer.
    return lvi.pszText != nullptr && lvi.pszText[0] != L'\0';
}

} // namespace

CHopwatchListCtrl::CHopwatchListCtrl() : m_rows(*this) {}
CHopwatchListCtrl::~CHopwatchListCtrl() = default;

BOOL DrawHistoryGraph(CDC& dc, const RECT& bounds, CHopwatchHist4Show& window) {
    SPixelRect area;
    if (!HistoryGraphArea({bounds.left, bounds.top, bounds.right, bounds.bottom}, area))
        return FALSE;
    window.wanted = area.Width();
    const int count = HistoryGraphColumnCount(window.values.GetSize(), area.Width());
    for (int x = 0; x < count; ++x) {
        const double value = window.values[HistoryGraphValueIndex(x, count)];
        const SGraphColumn column = HistoryGraphColumn(value, window.max, area.top, area.bottom);
        const RECT pixels = {area.left + x, column.top, area.left + x + 1, column.bottom};
        dc.FillSolidRect(pixels, column.color);
    }
    return TRUE;
}

BOOL CHopwatchListCtrl::DoSubItemPostPaint(CDC& dc, int item, int sub, UINT, LPARAM) {
    if (sub != kColNote)
        return FALSE;
    CHopwatchHist4Show* window = m_rows.GetHistory(item);
    if (window == nullptr || HasCellText(*this, item, kColNote))
        return FALSE;
    RECT bounds = {};
    if (!GetSubItemRect(item, kColNote, LVIR_BOUNDS, &bounds))
        return FALSE;
    return DrawHistoryGraph(dc, bounds, *window);
}
