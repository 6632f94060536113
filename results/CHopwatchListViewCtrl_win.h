// The results list's item operations over a real list view control.
#pragma once

#include "results/CHopwatchListView.h"
#include "ui/CListCtrl.h"

// Implements CHopwatchListView over a CListCtrl that must outlive this object; besides the items
// it keeps the per-row store (cell colours, history windows) that the list's drawing reads. A
// list control class may derive from both CListCtrl and this class, passing itself. Item
// operations fail (FALSE, 0 or -1) while the control has no window. User-interface thread only.
class CHopwatchListViewCtrl : public CHopwatchListView {
public:
    explicit CHopwatchListViewCtrl(CListCtrl& list) : m_list(list) {}

    int GetItemCount() const override;
    BOOL InsertItem(int item) override;
    BOOL DeleteItem(int item) override;
    BOOL SetItemText(int item, int column, LPCWSTR text) override;
    BOOL GetItemText(int item, int column, CString& text) const override;
    BOOL SetItemImage(int item, int image) override;
    int GetItemImage(int item) const override;
    BOOL SetItemData(int item, DWORD data) override;
    DWORD GetItemData(int item) const override;
    void RedrawItems(int first, int last) override;

private:
    bool IsItem(int item) const { return item >= 0 && item < GetItemCount(); }

    CListCtrl& m_list;
    CString m_cellText; // reused buffer for reading a cell back
};
