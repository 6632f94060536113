// A row source over records held in memory: feeds the list refresh without a running engine.
#include "results/CHopwatchRecordRows.h"

CHopwatchRecordRows::CHopwatchRecordRows() = default;
CHopwatchRecordRows::~CHopwatchRecordRows() = default;

BOOL CHopwatchRecordRows::SetRowCount(int count) {
    int old = m_hosts.GetSize();
    if (!m_hosts.SetSize(count))
        return FALSE;
    if (!m_histories.SetSize(count)) {
        m_hosts.SetSize(old); // only growing can fail
        return FALSE;
    }
    m_visibleRows = static_cast<DWORD>(count);
    return TRUE;
}

BOOL CHopwatchRecordRows::GetRow(int row, SHopwatchHost& host, DWORD cachedVersion,
                                 BOOL force) const {
    if (row < 0 || row >= m_hosts.GetSize())
        return FALSE;
    if (!force && m_hosts[row].version == cachedVersion)
        return FALSE;
    host = m_hosts[row];
    ++m_copies;
    return TRUE;
}

int CHopwatchRecordRows::GetRowHistory(int row, CHopwatchHist4Show& display) const {
    if (row < 0 || row >= m_histories.GetSize())
        return 0;
    return display.Build(m_histories[row]);
}

BOOL CHopwatchRecordRows::GetColumnMaxima(SHopwatchColumnMaxima& maxima) const {
    if (maxima.version == m_dataVersion)
        return FALSE;
    maxima = m_maxima;
    maxima.version = m_dataVersion;
    return TRUE;
}
