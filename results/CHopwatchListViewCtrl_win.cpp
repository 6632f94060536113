// The results list's item operations over a real list view control.
#include "results/CHopwatchListViewCtrl_win.h"

#include "results/array_headroom.h"
#include "results/list_columns.h"

CHopwatchListViewCtrl::~CHopwatchListViewCtrl() = default;

int CHopwatchListViewCtrl::GetItemCount() const {
    return m_list.IsWindow() ? CHopwatchMemoryList::GetItemCount() : 0;
}

void CHopwatchListViewCtrl::HoldRedraw(int item) {
    // Each insert or delete with redrawing on costs the list view a scroll bar update and a
    // repaint of everything below the row; a route that appears at once would freeze the window.
    if (m_heldFrom < 0) {
        m_list.SendMessage(WM_SETREDRAW, FALSE);
        m_heldFrom = item;
    } else if (item < m_heldFrom) {
        m_heldFrom = item;
    }
}

BOOL CHopwatchListViewCtrl::InsertItem(int item) {
    const int count = GetItemCount();
    if (!m_list.IsWindow() || item < 0 || item > count || !ResizeWithHeadroom(m_changed, count + 1))
        return FALSE;
    HoldRedraw(item);
    LVITEMW lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE;
    lvi.iItem = item;
    lvi.pszText = LPSTR_TEXTCALLBACKW;
    lvi.iImage = 0;
    if (m_list.SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lvi)) != item) {
        m_changed.SetSize(count);
        return FALSE;
    }
    if (!CHopwatchMemoryList::InsertItem(item)) {
        m_list.DeleteItem(item);
        m_changed.SetSize(count);
        return FALSE;
    }
    // The list view asks for the sub-items of a callback item too, as they were never given a
    // text of their own.
    for (int i = count; i > item; --i)
        m_changed[i] = m_changed[i - 1];
    m_changed[item] = 0;
    return TRUE;
}

BOOL CHopwatchListViewCtrl::DeleteItem(int item) {
    const int count = GetItemCount();
    if (item < 0 || item >= count)
        return FALSE;
    HoldRedraw(item);
    if (!m_list.DeleteItem(item) || !CHopwatchMemoryList::DeleteItem(item))
        return FALSE;
    for (int i = item; i < count - 1; ++i)
        m_changed[i] = m_changed[i + 1];
    m_changed.SetSize(count - 1);
    return TRUE;
}

BOOL CHopwatchListViewCtrl::SetItemText(int item, int column, LPCWSTR text) {
    if (item < 0 || item >= GetItemCount())
        return FALSE;
    const CString& old = GetText(item, column);
    if (old == (text != nullptr ? text : L""))
        return TRUE;
    if (!CHopwatchMemoryList::SetItemText(item, column, text))
        return FALSE;
    OnCellChanged(item, column);
    return TRUE;
}

BOOL CHopwatchListViewCtrl::SetItemImage(int item, int image) {
    if (item < 0 || item >= GetItemCount())
        return FALSE;
    if (GetItemImage(item) == image)
        return TRUE;
    // The list view draws the image itself and repaints the item when it changes.
    return m_list.SetItemImage(item, image) && CHopwatchMemoryList::SetItemImage(item, image);
}

void CHopwatchListViewCtrl::OnCellChanged(int item, int column) {
    if (item < 0 || item >= m_changed.GetSize() || column < 0 || column >= kHopwatchColumnCount)
        return;
    m_changed[item] = static_cast<WORD>(m_changed[item] | (1u << column));
    if (m_changedFirst < 0 || item < m_changedFirst)
        m_changedFirst = item;
    if (item > m_changedLast)
        m_changedLast = item;
}

void CHopwatchListViewCtrl::EndRefresh() {
    if (!m_list.IsWindow())
        return;
    if (m_heldFrom >= 0) {
        m_list.SendMessage(WM_SETREDRAW, TRUE);
        // Everything from the first row put in or taken out down to the bottom has moved.
        RECT client = {};
        m_list.GetClientRect(&client);
        RECT row = {};
        if (m_heldFrom < GetItemCount() && m_list.GetItemRect(m_heldFrom, &row, LVIR_BOUNDS) &&
            row.top > client.top)
            client.top = row.top;
        m_list.InvalidateRect(&client, FALSE);
        m_heldFrom = -1;
    }
    InvalidateChangedCells();
}

void CHopwatchListViewCtrl::InvalidateChangedCells() {
    if (m_changedFirst < 0)
        return;
    const int first = m_changedFirst;
    const int last = m_changedLast < GetItemCount() ? m_changedLast : GetItemCount() - 1;
    m_changedFirst = m_changedLast = -1;
    // Rows off screen are drawn from memory when they scroll into view.
    const int top = m_list.GetTopIndex();
    const int bottom = top + m_list.GetCountPerPage(); // the partly shown row below the page too
    // Column edges from the first row on screen; each cell's rows from its own item. Sub-item 0's
    // bounds are the whole row, so column 0 ends where column 1 begins.
    int left[kHopwatchColumnCount] = {};
    int right[kHopwatchColumnCount] = {};
    RECT cell = {};
    bool edges = top < GetItemCount() && m_list.GetItemRect(top, &cell, LVIR_BOUNDS);
    left[0] = cell.left;
    for (int column = 1; edges && column < kHopwatchColumnCount; ++column) {
        edges = m_list.GetSubItemRect(top, column, LVIR_BOUNDS, &cell) != 0;
        left[column] = right[column - 1] = cell.left;
        right[column] = cell.right;
    }
    HRGN region = nullptr;
    HRGN part = nullptr;
    for (int r = first; r <= last; ++r) {
        const WORD changed = m_changed[r];
        m_changed[r] = 0;
        if (changed == 0 || r < top || r > bottom || !edges)
            continue;
        RECT row = {};
        if (!m_list.GetItemRect(r, &row, LVIR_BOUNDS))
            continue;
        int lo = 0;
        while ((changed & (1u << lo)) == 0)
            ++lo;
        int hi = kHopwatchColumnCount - 1;
        while ((changed & (1u << hi)) == 0)
            --hi;
        if (region == nullptr) {
            region = ::CreateRectRgn(0, 0, 0, 0);
            part = ::CreateRectRgn(0, 0, 0, 0);
        }
        ::SetRectRgn(part, left[lo], row.top, right[hi], row.bottom);
        ::CombineRgn(region, region, part, RGN_OR);
    }
    if (region == nullptr)
        return;
    // One invalidation for the whole refresh: each is a round trip to the window system on some
    // platforms.
    ::InvalidateRgn(m_list, region, FALSE);
    ::DeleteObject(part);
    ::DeleteObject(region);
}

void CHopwatchListViewCtrl::AnswerDisplayInfo(NMLVDISPINFOW& info) const {
    if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr ||
        info.item.cchTextMax <= 0)
        return;
    const CString& text = GetText(info.item.iItem, info.item.iSubItem);
    ::lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
}
