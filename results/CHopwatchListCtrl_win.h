// CHopwatchListCtrl: the results list: per-cell colours, black text and the
// history graph.
#pragma once

#include <windows.h>

#include "results/CHopwatchListViewCtrl_win.h"
#include "ui/CCDListCtrl.h"

// Usage: a member of the main dialog, subclassed onto the dialog's list view in
// OnInitDialog (m_list.SubclassDlgItem(IDC_LIST, m_hWnd)) before the columns
// are inserted. The refresh fills it through GetRows()
// (CHopwatchRowRefresher::Refresh(data, m_list.GetRows())), which also keeps
// the per-row store (cell colours, history windows) sized to the items. Drawing
// reads only that store: each cell is painted in its colour (white while its
// row has none), all text is black, and the "Note / History" cell of a row
// without a note shows the history graph, whose width sets the row's wanted
// number of outcomes for the next refresh. User-interface thread only.
class CHopwatchListCtrl : public CCDListCtrl {
public:
    CHopwatchListCtrl();
    ~CHopwatchListCtrl() override;

    // The list as the results content model sees it: item operations over this
    // list view plus the per-row store.
    CHopwatchListView& GetRows() { return m_rows; }
    const CHopwatchListView& GetRows() const { return m_rows; }
    // Pixels per outcome (and per margin pixel) of the history graph: 1 at 96 dots
    // per inch, more where the text is larger (see GraphScaleForDpi).
    void SetGraphScale(int scale) { m_graphScale = scale > 0 ? scale : 1; }
    int GetGraphScale() const { return m_graphScale; }

protected:
    BOOL WantItemNotify() override { return TRUE; }
    BOOL WantSubItemNotify(int, UINT, LPARAM) override { return TRUE; }
    COLORREF GetSubItemTextColor(int, int, UINT, LPARAM) override { return 0; }
    COLORREF GetSubItemBkColor(int item, int sub, UINT, LPARAM) override {
        return m_rows.GetCellColor(item, sub);
    }
    BOOL WantSubItemPostPaint(int, int, UINT, LPARAM) override { return TRUE; }
    BOOL WantSubItemPostPaintNotify() override { return TRUE; }
    // The history graph in column 11 of a row that has a window and no note.
    BOOL DoSubItemPostPaint(CDC& dc, int item, int sub, UINT state, LPARAM param) override;
    // The list view asks for the cells' texts (LVN_GETDISPINFOW); custom draw as the base does.
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    CHopwatchListViewCtrl m_rows;
    int m_graphScale = 1;
};

// Draws a history window as a bar graph inside a sub-item's bounds (see
// history_graph.h), each outcome `scale` pixels wide, and sets the window's
// wanted count to the number of outcomes that fit. FALSE, drawing nothing and
// leaving wanted as it was, when the bounds leave no room.
BOOL DrawHistoryGraph(CDC& dc, const RECT& bounds, CHopwatchHist4Show& window, int scale = 1);
