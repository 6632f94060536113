// Abstract results list: the item operations the refresh needs, plus each row's colours and graph.
#include "results/CHopwatchListView.h"

#include "results/array_headroom.h"
#include "results/hopwatch_colors.h"

CHopwatchListView::CHopwatchListView() = default;
CHopwatchListView::~CHopwatchListView() = default;

BOOL CHopwatchListView::ResizeRowStore(int count) {
    if (count < 0)
        return FALSE;
    int old = m_histories.GetSize();
    if (!ResizeWithHeadroom(m_cellColors, count))
        return FALSE;
    if (!ResizeWithHeadroom(m_histories, count)) {
        m_cellColors.SetSize(m_histories.GetSize()); // shrinking never fails
        return FALSE;
    }
    if (m_historyWidth > 0) {
        for (int i = old; i < count; ++i)
            m_histories[i].wanted = m_historyWidth;
    }
    return TRUE;
}

void CHopwatchListView::SetHistoryWidth(int width) {
    m_historyWidth = width > 0 ? width : 0;
    if (m_historyWidth == 0)
        return;
    for (int i = 0; i < m_histories.GetSize(); ++i)
        m_histories[i].wanted = m_historyWidth;
}

NArray<COLORREF>* CHopwatchListView::GetCellColors(int item) {
    return item >= 0 && item < m_cellColors.GetSize() ? &m_cellColors[item] : nullptr;
}

CHopwatchHist4Show* CHopwatchListView::GetHistory(int item) {
    return item >= 0 && item < m_histories.GetSize() ? &m_histories[item] : nullptr;
}

const CHopwatchHist4Show* CHopwatchListView::GetHistory(int item) const {
    return item >= 0 && item < m_histories.GetSize() ? &m_histories[item] : nullptr;
}

COLORREF CHopwatchListView::GetCellColor(int item, int column) const {
    if (item < 0 || item >= m_cellColors.GetSize())
        return kColorWhite;
    const NArray<COLORREF>& colors = m_cellColors[item];
    return column >= 0 && column < colors.GetSize() ? colors[column] : kColorWhite;
}
