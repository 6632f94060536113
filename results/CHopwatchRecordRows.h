// A row source over records held in memory: feeds the list refresh without a running engine.
#pragma once

#include "engine/CHopwatchHist4Show.h"
#include "engine/CHopwatchHistory.h"
#include "engine/hopwatch_records.h"
#include "foundation/NArray.h"
#include "results/CHopwatchRowSource.h"

// Serves rows from records and histories that its owner fills and changes directly, for tests,
// benchmarks and showing a saved snapshot. The owner keeps the counters honest: bump a record's
// version when it changes, the data version after any change (SetDataVersion) and the rows
// version when rows are rebuilt. Single-threaded; the const operations also count the record
// copies they hand out.
class CHopwatchRecordRows : public CHopwatchRowSource {
public:
    CHopwatchRecordRows();
    ~CHopwatchRecordRows() override;

    // Sizes the row table (records and histories); new rows are default records with empty
    // histories. Visible rows follow the count. FALSE when memory runs out.
    BOOL SetRowCount(int count);
    int GetRowCount() const { return m_hosts.GetSize(); }
    // The row's record and history; the row must be below GetRowCount().
    SHopwatchHost& Host(int row) { return m_hosts[row]; }
    CHopwatchHistory& History(int row) { return m_histories[row]; }

    void SetVisibleRows(DWORD rows) { m_visibleRows = rows; }
    void BumpRowsVersion() { ++m_rowsVersion; }
    // The maxima handed out when the caller's copy is older than the data version; their own
    // version field is ignored.
    void SetColumnMaxima(const SHopwatchColumnMaxima& maxima) { m_maxima = maxima; }
    void SetDataVersion(DWORD version) { m_dataVersion = version; }
    DWORD GetDataVersion() const { return m_dataVersion; }
    // Number of records copied out by GetRow so far.
    int GetCopyCount() const { return m_copies; }

    DWORD GetVisibleRows() const override { return m_visibleRows; }
    DWORD GetRowsVersion() const override { return m_rowsVersion; }
    BOOL GetRow(int row, SHopwatchHost& host, DWORD cachedVersion, BOOL force) const override;
    int GetRowHistory(int row, CHopwatchHist4Show& display) const override;
    BOOL GetColumnMaxima(SHopwatchColumnMaxima& maxima) const override;

private:
    NArray<SHopwatchHost> m_hosts;
    NArray<CHopwatchHistory> m_histories;
    SHopwatchColumnMaxima m_maxima;
    DWORD m_visibleRows = 0;
    DWORD m_rowsVersion = 0;
    DWORD m_dataVersion = 1;
    mutable int m_copies = 0;
};
