// Abstract results list: the item operations the refresh needs, plus each row's colours and graph.
#pragma once

#include "engine/CHopwatchHist4Show.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"

// The list the refresh fills. The Windows list control implements the item operations over its
// list view; CHopwatchMemoryList keeps them in memory for tests and the console. Beside the items
// every list keeps, per item, the 12 cell background colours and the row's history window, so that
// index r always belongs to item r. User-interface thread only.
class CHopwatchListView {
public:
    CHopwatchListView();
    virtual ~CHopwatchListView();
    CHopwatchListView(const CHopwatchListView&) = delete;
    CHopwatchListView& operator=(const CHopwatchListView&) = delete;

    virtual int GetItemCount() const = 0;
    // Inserts an item with empty texts, image 0 and item data 0 at index item (0..count).
    // FALSE when the index is out of range or memory runs out; the list is then unchanged.
    virtual BOOL InsertItem(int item) = 0;
    // FALSE for an index outside 0..count-1.
    virtual BOOL DeleteItem(int item) = 0;
    // The text is copied. FALSE for an item or column out of range.
    virtual BOOL SetItemText(int item, int column, LPCWSTR text) = 0;
    // Copies the cell's text into text; FALSE (text emptied) when out of range.
    virtual BOOL GetItemText(int item, int column, CString& text) const = 0;
    virtual BOOL SetItemImage(int item, int image) = 0;
    // The item's image index; -1 when out of range.
    virtual int GetItemImage(int item) const = 0;
    virtual BOOL SetItemData(int item, DWORD data) = 0;
    // The item's 32-bit data; 0 when out of range.
    virtual DWORD GetItemData(int item) const = 0;
    // Asks for items first..last to be drawn again.
    virtual void RedrawItems(int first, int last) = 0;
    // Told by the refresh that a cell's text or colour, or (column 11) the row's graph, has
    // changed, so that a list on screen can repaint only such cells. The default ignores it.
    virtual void OnCellChanged(int item, int column) {}
    // Told at the end of every refresh, after RedrawItems; the default does nothing.
    virtual void EndRefresh() {}

    // Sizes the per-row arrays to count rows. New colour arrays start empty and new history
    // windows as constructed; dropped rows release theirs. Capacity grows in steps so that
    // inserting rows one by one does not reallocate every time. FALSE when memory runs out.
    BOOL ResizeRowStore(int count);
    int GetRowStoreSize() const { return m_histories.GetSize(); }
    // Width (outcomes) of the history graph for lists that do not learn it from drawing, such as
    // the console's table: applied to every row's window now and to rows added later. 0, the
    // default, leaves it to the drawing, which sets each window's wanted count itself.
    void SetHistoryWidth(int width);
    int GetHistoryWidth() const { return m_historyWidth; }
    // The row's colour array or history window; nullptr when item is outside the row store.
    NArray<COLORREF>* GetCellColors(int item);
    CHopwatchHist4Show* GetHistory(int item);
    const CHopwatchHist4Show* GetHistory(int item) const;
    // Background of one cell: white when the item has no colour array yet or the column lies
    // beyond it.
    COLORREF GetCellColor(int item, int column) const;

private:
    NArray<NArray<COLORREF>> m_cellColors;
    NArray<CHopwatchHist4Show> m_histories;
    int m_historyWidth = 0;
};
