// CTimelineScreen: what the timeline window shows, kept apart from the window.
#include "timeline/CTimelineScreen.h"

#include "foundation/numbers.h"
#include "timeline/timeline_report.h"

bool CTimelineScreen::IsStale(const CHopwatchTimeline& model,
                              const CHopwatchRowSource& rows) const {
    return !m_haveRows || model.GetVersion() != m_info.version ||
           rows.GetRowsVersion() != m_rowsVersion || rows.GetVisibleRows() != m_visibleRows;
}

BOOL CTimelineScreen::Refresh(const CHopwatchTimeline& model, const CHopwatchRowSource& rows,
                              int width, int height, bool force) {
    if (force || !m_haveRows || rows.GetRowsVersion() != m_rowsVersion ||
        rows.GetVisibleRows() != m_visibleRows) {
        m_rowsVersion = rows.GetRowsVersion();
        m_visibleRows = rows.GetVisibleRows();
        if (!TimelineRowsFromSource(rows, m_rows) || !TimelineRowKeys(m_rows, m_keys))
            return FALSE;
        if (!m_haveRows || m_selected >= m_rows.GetSize())
            m_selected = m_rows.GetSize() - 1;
        m_haveRows = true;
    }
    m_info = model.GetRunInfo();
    m_layout = TimelineLayout(width, height, m_rows.GetSize());
    const int plot = m_layout.PlotWidth() > 0 ? m_layout.PlotWidth() : 1;
    m_viewport.Update(m_info.length, plot);
    if (!model.ReadView(m_keys.GetData(), m_keys.GetSize(), m_viewport.GetFrom(),
                        m_viewport.GetTo(), plot, m_view))
        return FALSE;
    m_rttScale = m_view.RttScale();
    m_bandMax = m_selected >= 0 ? TimelineBandMax(m_view, m_selected) : 0.0;
    return TRUE;
}

CString CTimelineScreen::HoverText(int x, int y) const {
    const int slot = m_layout.SlotAt(x);
    int lane = m_layout.LaneAt(x, y);
    if (lane < 0 && m_layout.InBand(y))
        lane = m_selected;
    if (slot < 0 || lane < 0 || lane >= m_rows.GetSize() || lane >= m_view.lanes ||
        slot >= m_view.slots || !m_info.hasRun)
        return CString();
    const STimelineBucket& cell = m_view.Cell(lane, slot);
    CString text = TimelineCellTitle(TimelineTitlePrefix(m_rows[lane]), m_info.startTime,
                                     m_view.spanStart[slot], m_view.spanEnd[slot], cell);
    if (cell.unreachable > 0)
        text += L" (" + FormatUnsigned(cell.unreachable, 10) + L" unreachable)";
    return text;
}

bool CTimelineScreen::SelectAt(int x, int y) {
    const int lane = m_layout.LaneAt(x, y);
    if (lane < 0 || lane >= m_rows.GetSize())
        return false;
    m_selected = lane;
    m_bandMax = TimelineBandMax(m_view, m_selected);
    return true;
}

void CTimelineScreen::MoveSelection(int delta) {
    if (m_rows.GetSize() == 0)
        return;
    int selected = m_selected + delta;
    if (selected < 0)
        selected = 0;
    if (selected >= m_rows.GetSize())
        selected = m_rows.GetSize() - 1;
    m_selected = selected;
    m_bandMax = TimelineBandMax(m_view, m_selected);
}

void CTimelineScreen::Draw(STimelineCanvas& canvas) const {
    DrawTimeline(canvas, m_layout, m_view, m_rttScale, m_selected, m_bandMax);
}

CString CTimelineScreen::RowLabel(int row) const {
    if (row < 0 || row >= m_rows.GetSize())
        return CString();
    const STimelineRow& r = m_rows[row];
    CString label = (r.alternative ? L"    " : L"") + CString(L"TTL ") + FormatUnsigned(r.ttl, 10) +
                    L" " + TimelineRowAddress(r);
    if (!r.name.empty() && r.name[0] != L' ')
        label += L" " + r.name;
    return label;
}

CString CTimelineScreen::BandTitle() const {
    if (m_selected < 0 || m_selected >= m_rows.GetSize())
        return L"Click a row to see its round trips and loss";
    CString title = RowLabel(m_selected);
    while (!title.empty() && title[0] == L' ')
        title.erase(0, 1);
    title += L": round trip min/avg/max, 0 to ";
    title += FormatDouble(m_bandMax * 1000.0) + L" ms; loss below, 0 to 100%";
    return title;
}
