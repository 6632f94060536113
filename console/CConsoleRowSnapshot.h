// A copy of a run's visible rows with the console's loss-reading notes, served as a row source.
#pragma once

#include "engine/hopwatch_records.h"
#include "foundation/NArray.h"
#include "results/CHopwatchRowSource.h"

// The table, the CSV and the JSON all read the rows from here, so the three show the same
// figures and notes. Histories, maxima and the rows counter come from the live source, which
// must outlive the snapshot. User-interface thread only.
class CConsoleRowSnapshot : public CHopwatchRowSource {
public:
    explicit CConsoleRowSnapshot(const CHopwatchRowSource& live) : m_live(live) {}

    // Copies every visible row of the live source and gives the rows whose loss is the router
    // limiting its replies the note "replies limited" (and a version of their own, so a list
    // refreshed from here refills them). FALSE when memory ran out; the snapshot is then empty.
    BOOL Take();

    int GetRowCount() const { return m_rows.GetSize(); }
    // The row's record; row must be below GetRowCount().
    const SHopwatchHost& Row(int row) const { return m_rows[row]; }

    DWORD GetVisibleRows() const override { return static_cast<DWORD>(m_rows.GetSize()); }
    DWORD GetRowsVersion() const override { return m_live.GetRowsVersion(); }
    BOOL GetRow(int row, SHopwatchHost& host, DWORD cachedVersion, BOOL force) const override;
    int GetRowHistory(int row, CHopwatchHist4Show& display) const override {
        return m_live.GetRowHistory(row, display);
    }
    BOOL GetColumnMaxima(SHopwatchColumnMaxima& maxima) const override {
        return m_live.GetColumnMaxima(maxima);
    }

private:
    const CHopwatchRowSource& m_live;
    NArray<SHopwatchHost> m_rows;
};
