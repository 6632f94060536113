// The results list's item operations over a real list view control.
#include "results/CHopwatchListViewCtrl_win.h"

#include "results/list_columns.h"

int CHopwatchListViewCtrl::GetItemCount() const {
    return m_list.IsWindow() ? m_list.GetItemCount() : 0;
}

BOOL CHopwatchListViewCtrl::InsertItem(int item) {
    if (!m_list.IsWindow() || item < 0 || item > GetItemCount())
        return FALSE;
    return m_list.InsertItem(item, CString(), 0) == item;
}

BOOL CHopwatchListViewCtrl::DeleteItem(int item) {
    return IsItem(item) && m_list.DeleteItem(item);
}

BOOL CHopwatchListViewCtrl::SetItemText(int item, int column, LPCWSTR text) {
    // The list view itself refuses an item out of range; this runs for every cell of a refresh.
    if (column < 0 || column >= kHopwatchColumnCount)
        return FALSE;
    LPCWSTR value = text != nullptr ? text : L"";
    // Setting a cell invalidates it, which costs far more than reading it (a round trip to the
    // window system on some platforms); a refill mostly writes the texts a cell already has.
    m_list.GetItemText(item, column, m_cellText);
    if (m_cellText == value)
        return TRUE;
    return m_list.SetItemText(item, column, value);
}

BOOL CHopwatchListViewCtrl::GetItemText(int item, int column, CString& text) const {
    if (!IsItem(item) || column < 0 || column >= kHopwatchColumnCount) {
        text.clear();
        return FALSE;
    }
    m_list.GetItemText(item, column, text);
    return TRUE;
}

BOOL CHopwatchListViewCtrl::SetItemImage(int item, int image) {
    if (m_list.GetItemImage(item) == image)
        return TRUE;
    return m_list.SetItemImage(item, image);
}

int CHopwatchListViewCtrl::GetItemImage(int item) const {
    return IsItem(item) ? m_list.GetItemImage(item) : -1;
}

BOOL CHopwatchListViewCtrl::SetItemData(int item, DWORD data) {
    return m_list.SetItemData(item, data);
}

DWORD CHopwatchListViewCtrl::GetItemData(int item) const {
    return IsItem(item) ? static_cast<DWORD>(m_list.GetItemData(item)) : 0;
}

void CHopwatchListViewCtrl::RedrawItems(int first, int last) {
    if (!m_list.IsWindow())
        return;
    // Only the rows on screen need painting, and one invalidation of their whole span is far
    // cheaper than the list view's own per-item loop (each invalidation can be a round trip to
    // the window system).
    int top = m_list.GetTopIndex();
    int bottom = top + m_list.GetCountPerPage(); // the partly visible row below the page too
    if (first < top)
        first = top;
    if (last > bottom)
        last = bottom;
    if (first > last || first >= GetItemCount())
        return;
    if (last >= GetItemCount())
        last = GetItemCount() - 1;
    RECT upper = {}, lower = {};
    if (!m_list.GetItemRect(first, &upper, LVIR_BOUNDS) ||
        !m_list.GetItemRect(last, &lower, LVIR_BOUNDS)) {
        m_list.RedrawItems(first, last);
        return;
    }
    RECT span = {};
    ::UnionRect(&span, &upper, &lower);
    m_list.InvalidateRect(&span, FALSE);
}
