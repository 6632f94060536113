// CHopwatchListCtrl: the results list: per-cell colours, black text and the
// history graph.
#pragma once

#include <windows.h>

#include "results/CHopwatchListViewCtrl_win.h"
#include "results/CRowImageCache_win.h"
#include "results/list_columns.h"
#include "ui/CCDListCtrl.h"
#include "ui/CDibSection.h"

// Usage: a member of the main dialog, subclassed onto the dialog's list view in
// OnInitDialog (m_list.SubclassDlgItem(IDC_LIST, m_hWnd)) before the columns
// are inserted. The refresh fills it through GetRows()
// (CHopwatchRowRefresher::Refresh(data, m_list.GetRows())), which also keeps
// the per-row store (cell colours, history windows) sized to the items. Drawing
// reads only that store: each cell is painted in its colour (white while its
// row has none), all text is black, and the "Note / History" cell of a row
// without a note shows the history graph, whose width sets the row's wanted
// number of outcomes for the next refresh. The row images are copied from a
// strip drawn once (CRowImageCache) instead of being drawn by the list view,
// except in a selected row while the list has the focus, whose image the list
// view blends with the selection itself. User-interface thread only.
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
    // Makes images the list's small images (the row images); the strip they are copied from
    // is drawn again from them.
    void SetRowImages(HIMAGELIST images);
    // See CHopwatchListViewCtrl::WidestText.
    int WidestText(int column) { return m_rows.WidestText(column); }

protected:
    BOOL WantItemNotify() override { return TRUE; }
    BOOL WantSubItemNotify(int, UINT, LPARAM) override { return TRUE; }
    COLORREF GetSubItemTextColor(int, int, UINT, LPARAM) override { return 0; }
    COLORREF GetSubItemBkColor(int item, int sub, UINT, LPARAM) override {
        return m_rows.GetCellColor(item, sub);
    }
    // Only the row image and the graph are drawn after the list view's own drawing.
    BOOL WantSubItemPostPaint(int, int sub, UINT, LPARAM) override {
        return sub == kColTtl || sub == kColNote;
    }
    BOOL WantSubItemPostPaintNotify() override { return TRUE; }
    // The row image in column 0 and the history graph in column 11 of a row that has a window
    // and no note.
    BOOL DoSubItemPostPaint(CDC& dc, int item, int sub, UINT state, LPARAM param) override;
    // The list view asks for the cells' texts and images (LVN_GETDISPINFOW); custom draw as the
    // base does.
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Follows the list's focus, and notes while the list view paints: an image it asks for then
    // is one it is about to draw.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The list view draws the image of item itself: selected while the list has the focus.
    bool ListDrawsImage(int item) const;
    void DrawRowImage(CDC& dc, int item);
    // The row images and the list's background, asked for once a paint rather than once a row.
    void TakePaintSettings();

    CHopwatchListViewCtrl m_rows;
    int m_graphScale = 1;
    bool m_painting = false;
    bool m_hasFocus = false; // as the list view knows it, from WM_SETFOCUS and WM_KILLFOCUS
    HIMAGELIST m_paintImages = nullptr;
    COLORREF m_paintBackground = CLR_NONE;
    CRowImageCache m_rowImages;
    CDibSection m_graphCanvas;
};

// Draws a history window as a bar graph inside a sub-item's bounds (see
// history_graph.h), each outcome `scale` pixels wide, and sets the window's
// wanted count to the number of outcomes that fit. FALSE, drawing nothing and
// leaving wanted as it was, when the bounds leave no room. With a canvas the
// graph is put together there from the cell's pixels and copied back in one
// go: one call into the system per row instead of one per outcome; without
// one, or where the DC's pixels cannot be read, each column is filled in dc.
BOOL DrawHistoryGraph(CDC& dc, const RECT& bounds, CHopwatchHist4Show& window, int scale = 1,
                      CDibSection* canvas = nullptr);
