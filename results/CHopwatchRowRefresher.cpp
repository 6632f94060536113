// Brings the results list up to date with the data model at each refresh tick.
#include "results/CHopwatchRowRefresher.h"

#include <climits>
#include <limits>

#include "engine/CHopwatchData.h"
#include "results/CHopwatchDataRowSource.h"
#include "results/list_columns.h"
#include "results/row_fill.h"

namespace {

void Widen(int row, int& first, int& last) {
    if (first < 0 || row < first)
        first = row;
    if (row > last)
        last = row;
}

// Makes the next Build rebuild the window whatever version it was built from.
void ForgetWindow(CHopwatchHist4Show& show) {
    show.version = 0;
    show.values.SetSize(0);
    show.min = show.max = show.avg = std::numeric_limits<double>::quiet_NaN();
}

// NArray grows to exactly the size asked for; a window that fills one probe at a time would
// reallocate at every probe. Reserve the whole wanted width once instead.
void ReserveWindow(CHopwatchHist4Show& show) {
    int wanted = show.wanted < kHistRingSize ? show.wanted : kHistRingSize;
    if (wanted <= show.values.GetCapacity())
        return;
    int size = show.values.GetSize();
    if (show.values.SetSize(wanted))
        show.values.SetSize(size);
}

} // namespace

CHopwatchRowRefresher::CHopwatchRowRefresher() = default;

void CHopwatchRowRefresher::UpdateMaxima(const CHopwatchRowSource& source) {
    const SHopwatchColumnMaxima before = m_maxima;
    if (!source.GetColumnMaxima(m_maxima))
        return;
    // The colours depend on these maxima only (loss is relative to the row itself). Rows filled
    // or carried at the version before may carry on, as long as their records did not change.
    bool sameColors = before.lost == m_maxima.lost && before.lastRtt == m_maxima.lastRtt &&
                      before.minRtt == m_maxima.minRtt && before.avgRtt == m_maxima.avgRtt &&
                      before.maxRtt == m_maxima.maxRtt;
    m_carryFrom = sameColors ? before.version : m_maxima.version;
}

void CHopwatchRowRefresher::UpdateHistory(const CHopwatchRowSource& source, CHopwatchListView& list,
                                          int row, bool reset, int& first, int& last) {
    CHopwatchHist4Show* show = list.GetHistory(row);
    if (show == nullptr)
        return;
    if (reset)
        ForgetWindow(*show);
    ReserveWindow(*show);
    if (source.GetRowHistory(row, *show) != 0) {
        list.OnCellChanged(row, kColNote);
        Widen(row, first, last);
    }
}

int CHopwatchRowRefresher::Refresh(const CHopwatchRowSource& source, CHopwatchListView& list) {
    int itemCount = list.GetItemCount();
    DWORD visibleRows = source.GetVisibleRows();
    int visible = visibleRows > INT_MAX ? INT_MAX : static_cast<int>(visibleRows);
    DWORD rowsVersion = source.GetRowsVersion();
    // A rebuilt row table may put another record at a row whose item data and history version
    // happen to match the old one's (neighbouring hops count alike), so every row is refilled.
    bool rowsMoved = rowsVersion != m_rowsVersion;
    bool countChanged = false;
    int first = -1;
    int last = -1;

    for (int r = 0; r < visible; ++r) {
        UpdateMaxima(source);
        bool isNew = r >= itemCount;
        DWORD known = isNew ? 0 : list.GetItemData(r);
        BOOL force = isNew || rowsMoved ? TRUE : FALSE;
        BOOL copied = FALSE;
        if (!force && m_carryFrom != m_maxima.version) {
            // The maxima moved without changing a colour: a record that is as it was filled
            // keeps its texts and colours, and only its item data moves with the maxima.
            copied = source.GetRow(r, m_host, known - m_carryFrom, FALSE);
            if (!copied)
                list.SetItemData(r, known - m_carryFrom + m_maxima.version);
        } else {
            copied = source.GetRow(r, m_host, known - m_maxima.version, force);
        }
        if (!copied) {
            if (isNew)
                break; // no such row after all; items must stay contiguous
            UpdateHistory(source, list, r, false, first, last);
            continue;
        }
        if (isNew) {
            if (!list.InsertItem(r))
                break;
            ++itemCount;
            countChanged = true;
            list.ResizeRowStore(itemCount); // on failure the row is drawn white, without graph
        }
        UpdateHistory(source, list, r, rowsMoved && !isNew, first, last);
        FillHopwatchRow(list, r, m_host, m_maxima);
        Widen(r, first, last);
    }

    // Every row is at the current version now.
    m_carryFrom = m_maxima.version;

    while (itemCount > visible) {
        if (!list.DeleteItem(itemCount - 1))
            break;
        --itemCount;
        countChanged = true;
        list.ResizeRowStore(itemCount);
    }

    if (rowsMoved)
        m_rowsVersion = rowsVersion;
    if (first >= 0)
        list.RedrawItems(first, last);
    list.EndRefresh();
    return countChanged || rowsMoved ? 1 : 0;
}

int CHopwatchRowRefresher::Refresh(const CHopwatchData& data, CHopwatchListView& list) {
    CHopwatchDataRowSource source(data);
    return Refresh(source, list);
}
