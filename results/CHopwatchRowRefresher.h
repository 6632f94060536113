// Brings the results list up to date with the data model at each refresh tick.
#pragma once

#include "engine/hopwatch_records.h"
#include "foundation/base_types.h"
#include "results/CHopwatchListView.h"
#include "results/CHopwatchRowSource.h"

class CHopwatchData;

// Keeps what the refresh remembers between ticks: the column maxima shared by all rows, the last
// row-table counter seen and a record buffer that is reused for every row (so a refresh with
// nothing new allocates nothing). One instance per list; user-interface thread only.
class CHopwatchRowRefresher {
public:
    CHopwatchRowRefresher();

    // One refresh: inserts items for rows that appeared, refills only rows whose record changed
    // (every row after a change of the maxima that colour the cells, since colours are relative
    // to them; after a change that moves no such maximum, the other rows keep their texts and
    // colours and only their item data follows the maxima's version), keeps
    // the history windows current, deletes surplus items from the end and asks the list to
    // redraw the span of changed rows. Returns 1 when items were inserted or deleted or the row
    // table's counter moved (the caller then re-fits the column widths), else 0. When the list
    // cannot take another item, the refresh stops at that row and tries again next time.
    int Refresh(const CHopwatchRowSource& source, CHopwatchListView& list);
    // The same over a live data model, read through its snapshot operations.
    int Refresh(const CHopwatchData& data, CHopwatchListView& list);

    // The maxima as of the last refresh.
    const SHopwatchColumnMaxima& GetColumnMaxima() const { return m_maxima; }

private:
    // Brings the maxima up to date and notes from which version rows may carry on unrefilled.
    void UpdateMaxima(const CHopwatchRowSource& source);
    void UpdateHistory(const CHopwatchRowSource& source, CHopwatchListView& list, int row,
                       bool reset, int& first, int& last);

    SHopwatchColumnMaxima m_maxima;
    DWORD m_rowsVersion = kHopwatchNone;
    // The maxima version whose colours equal the current ones' (the current version when they
    // differ): a row filled at it and unchanged since needs no refill.
    DWORD m_carryFrom = 0;
    SHopwatchHost m_host;
};
