// The results list's view of a live CHopwatchData: forwards the snapshot operations.
#pragma once

#include "engine/CHopwatchData.h"
#include "results/CHopwatchRowSource.h"

// Adapts a CHopwatchData, which must outlive the adapter. User-interface thread.
class CHopwatchDataRowSource : public CHopwatchRowSource {
public:
    explicit CHopwatchDataRowSource(const CHopwatchData& data) : m_data(data) {}

    DWORD GetVisibleRows() const override { return m_data.GetVisibleRows(); }
    DWORD GetRowsVersion() const override { return m_data.GetRowsVersion(); }
    BOOL GetRow(int row, SHopwatchHost& host, DWORD cachedVersion, BOOL force) const override {
        return m_data.GetRow(row, host, cachedVersion, force);
    }
    int GetRowHistory(int row, CHopwatchHist4Show& display) const override {
        return m_data.GetRowHistory(row, display);
    }
    BOOL GetColumnMaxima(SHopwatchColumnMaxima& maxima) const override {
        return m_data.GetColumnMaxima(maxima);
    }

private:
    const CHopwatchData& m_data;
};
