// CHopwatchListCtrl: the results list: per-cell colours, black text and the
// history graph.
#include "results/CHopwatchListCtrl_win.h"

#include "results/history_graph.h"
#include "results/list_columns.h"

CHopwatchListCtrl::CHopwatchListCtrl() : m_rows(*this) {}
CHopwatchListCtrl::~CHopwatchListCtrl() = default;

BOOL DrawHistoryGraph(CDC& dc, const RECT& bounds, CHopwatchHist4Show& window, int scale) {
    SPixelRect area;
    if (!HistoryGraphArea({bounds.left, bounds.top, bounds.right, bounds.bottom}, area, scale))
        return FALSE;
    const int columns = area.Width() / scale;
    if (columns < 1)
        return FALSE;
    window.wanted = columns;
    const int count = HistoryGraphColumnCount(window.values.GetSize(), columns);
    for (int x = 0; x < count; ++x) {
        const double value = window.values[HistoryGraphValueIndex(x, count)];
        const SGraphColumn column =
            HistoryGraphColumn(value, window.max, area.top, area.bottom, scale);
        const RECT pixels = {area.left + x * scale, column.top, area.left + (x + 1) * scale,
                             column.bottom};
        dc.FillSolidRect(pixels, column.color);
    }
    return TRUE;
}

BOOL CHopwatchListCtrl::DoSubItemPostPaint(CDC& dc, int item, int sub, UINT, LPARAM) {
    if (sub != kColNote)
        return FALSE;
    CHopwatchHist4Show* window = m_rows.GetHistory(item);
    if (window == nullptr || !m_rows.GetText(item, kColNote).empty())
        return FALSE;
    RECT bounds = {};
    if (!GetSubItemRect(item, kColNote, LVIR_BOUNDS, &bounds))
        return FALSE;
    return DrawHistoryGraph(dc, bounds, *window, m_graphScale);
}

BOOL CHopwatchListCtrl::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW) {
        m_rows.AnswerDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        result = 0;
        return TRUE;
    }
    return CCDListCtrl::OnChildNotify(msg, wParam, lParam, result);
}
