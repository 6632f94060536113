// The results list's item operations over a real list view control.
#pragma once

#include "foundation/NArray.h"
#include "results/CHopwatchMemoryList.h"
#include "ui/CListCtrl.h"

// Implements CHopwatchListView over a CListCtrl that must outlive this object. The rows live in
// memory (texts, images, item data, colours, history windows) and the list view holds only items
// whose texts it asks for when it draws them (LPSTR_TEXTCALLBACK, answered by AnswerDisplayInfo).
// So a refill costs no window messages, and only the cells reported changed are repainted, once
// per refresh (EndRefresh). Rows inserted or deleted in one refresh are put in with the list
// view's redrawing off. Item operations fail (FALSE, 0 or -1) while the control has no window.
// User-interface thread only.
class CHopwatchListViewCtrl : public CHopwatchMemoryList {
public:
    explicit CHopwatchListViewCtrl(CListCtrl& list) : m_list(list) {}
    ~CHopwatchListViewCtrl() override;

    int GetItemCount() const override;
    BOOL InsertItem(int item) override;
    BOOL DeleteItem(int item) override;
    BOOL SetItemText(int item, int column, LPCWSTR text) override;
    BOOL SetItemImage(int item, int image) override;
    // The cells reported changed are repainted at EndRefresh instead.
    void RedrawItems(int first, int last) override {}
    void OnCellChanged(int item, int column) override;
    void EndRefresh() override;

    // Answers the list view's LVN_GETDISPINFOW for a cell's text from the rows in memory.
    void AnswerDisplayInfo(NMLVDISPINFOW& info) const;

private:
    // Stops the list view's redrawing for a run of inserts or deletes from row item on.
    void HoldRedraw(int item);
    // Adds the changed cells of the rows on screen to one region and invalidates it.
    void InvalidateChangedCells();

    CListCtrl& m_list;
    NArray<WORD> m_changed; // per row, one bit per column whose cell changed
    int m_changedFirst = -1;
    int m_changedLast = -1;
    int m_heldFrom = -1; // first row inserted or deleted while redrawing is off; -1 when on
};
