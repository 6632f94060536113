// In-memory results list: keeps items, cell texts, images and item data for tests and the console.
#pragma once

#include "results/CHopwatchListView.h"
#include "results/list_columns.h"

// A CHopwatchListView without a window. Besides the items it remembers the span of the last
// redraw request. User-interface thread only (no locking).
class CHopwatchMemoryList : public CHopwatchListView {
public:
    CHopwatchMemoryList();
    ~CHopwatchMemoryList() override;

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

    // The cell's text without copying; an empty text when out of range. Valid until the item
    // changes.
    const CString& GetText(int item, int column) const;
    // Number of redraw requests so far and the span of the last one (-1, -1 before any).
    int GetRedrawCount() const { return m_redrawCount; }
    int GetRedrawFirst() const { return m_redrawFirst; }
    int GetRedrawLast() const { return m_redrawLast; }

private:
    struct SRow {
        CString texts[kHopwatchColumnCount];
        int image = 0;
        DWORD data = 0;
    };

    bool IsItem(int item) const { return item >= 0 && item < m_rows.GetSize(); }

    NArray<SRow> m_rows;
    int m_redrawCount = 0;
    int m_redrawFirst = -1;
    int m_redrawLast = -1;
};
