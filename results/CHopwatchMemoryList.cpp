// In-memory results list: keeps items, cell texts, images and item data for tests and the console.
#include "results/CHopwatchMemoryList.h"

#include <utility>

#include "results/array_headroom.h"

namespace {

const CString kEmptyText;

bool IsColumn(int column) {
    return column >= 0 && column < kHopwatchColumnCount;
}

} // namespace

CHopwatchMemoryList::CHopwatchMemoryList() = default;
CHopwatchMemoryList::~CHopwatchMemoryList() = default;

int CHopwatchMemoryList::GetItemCount() const {
    return m_rows.GetSize();
}

BOOL CHopwatchMemoryList::InsertItem(int item) {
    int count = m_rows.GetSize();
    if (item < 0 || item > count || !ResizeWithHeadroom(m_rows, count + 1))
        return FALSE;
    // The new element at the end is empty; swapping it down keeps the strings' buffers moving
    // with their rows instead of being copied.
    for (int i = count; i > item; --i)
        std::swap(m_rows[i], m_rows[i - 1]);
    return TRUE;
}

BOOL CHopwatchMemoryList::DeleteItem(int item) {
    int count = m_rows.GetSize();
    if (!IsItem(item))
        return FALSE;
    for (int i = item; i < count - 1; ++i)
        std::swap(m_rows[i], m_rows[i + 1]);
    return m_rows.SetSize(count - 1);
}

BOOL CHopwatchMemoryList::SetItemText(int item, int column, LPCWSTR text) {
    if (!IsItem(item) || !IsColumn(column))
        return FALSE;
    // Assigning into the existing string reuses its buffer once it is large enough.
    m_rows[item].texts[column].assign(text != nullptr ? text : L"");
    return TRUE;
}

BOOL CHopwatchMemoryList::GetItemText(int item, int column, CString& text) const {
    text = GetText(item, column);
    return IsItem(item) && IsColumn(column);
}

const CString& CHopwatchMemoryList::GetText(int item, int column) const {
    return IsItem(item) && IsColumn(column) ? m_rows[item].texts[column] : kEmptyText;
}

BOOL CHopwatchMemoryList::SetItemImage(int item, int image) {
    if (!IsItem(item))
        return FALSE;
    m_rows[item].image = image;
    return TRUE;
}

int CHopwatchMemoryList::GetItemImage(int item) const {
    return IsItem(item) ? m_rows[item].image : -1;
}

BOOL CHopwatchMemoryList::SetItemData(int item, DWORD data) {
    if (!IsItem(item))
        return FALSE;
    m_rows[item].data = data;
    return TRUE;
}

DWORD CHopwatchMemoryList::GetItemData(int item) const {
    return IsItem(item) ? m_rows[item].data : 0;
}

void CHopwatchMemoryList::RedrawItems(int first, int last) {
    ++m_redrawCount;
    m_redrawFirst = first;
    m_redrawLast = last;
}
