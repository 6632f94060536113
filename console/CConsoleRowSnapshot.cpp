// A copy of a run's visible rows with the console's loss-reading notes, served as a row source.
#include "console/CConsoleRowSnapshot.h"

#include "results/replies_limited.h"

namespace {
// Moves the version of a row that got the note, so that its cached copy reads as changed.
constexpr DWORD kNotedVersionStep = 0x6D2B79F5u;
} // namespace

BOOL CConsoleRowSnapshot::Take() {
    const int visible = static_cast<int>(m_live.GetVisibleRows());
    if (!m_rows.SetSize(visible)) {
        m_rows.SetSize(0);
        return FALSE;
    }
    int count = 0;
    while (count < visible && m_live.GetRow(count, m_rows[count], 0, TRUE))
        ++count;
    m_rows.SetSize(count); // rows rebuilt under us: keep what is consistent
    MarkRepliesLimited(m_rows);
    for (int r = 0; r < count; ++r) {
        if (m_rows[r].note == kHopwatchRepliesLimitedNote)
            m_rows[r].version += kNotedVersionStep;
    }
    return TRUE;
}

BOOL CConsoleRowSnapshot::GetRow(int row, SHopwatchHost& host, DWORD cachedVersion,
                                 BOOL force) const {
    if (row < 0 || row >= m_rows.GetSize())
        return FALSE;
    if (!force && m_rows[row].version == cachedVersion)
        return FALSE;
    host = m_rows[row];
    return TRUE;
}
