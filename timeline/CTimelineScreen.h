// CTimelineScreen: what the timeline window shows, kept apart from the window: rows, the view of
// the model for the viewport, the selected row, the texts under the mouse.
#pragma once

#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "results/CHopwatchRowSource.h"
#include "timeline/CHopwatchTimeline.h"
#include "timeline/CTimelineViewport.h"
#include "timeline/timeline_raster.h"
#include "timeline/timeline_rows.h"

// The window's thread only. Refresh reads the row source (each row copy takes its lock by itself)
// and then the model (under its own lock); nothing is held between the two.
class CTimelineScreen {
public:
    // Whether the model or the rows moved since the last Refresh.
    bool IsStale(const CHopwatchTimeline& model, const CHopwatchRowSource& rows) const;
    // Takes the rows (when their version moved, or always with force), lays out a client area of
    // width x height, brings the viewport up to the run's length and reads one slot per pixel
    // column. The first row list selects the last row (the target). FALSE when memory ran out.
    BOOL Refresh(const CHopwatchTimeline& model, const CHopwatchRowSource& rows, int width,
                 int height, bool force);

    // The figures of the cell under a client point: in the heat map the cell of that row, in the
    // band the selected row's; the cell's title as the report gives it, and its unreachable
    // count when it has one. Empty elsewhere.
    CString HoverText(int x, int y) const;
    // Selects the row under a client point; FALSE when there is none.
    bool SelectAt(int x, int y);
    // Moves the selection by delta rows, within the rows.
    void MoveSelection(int delta);
    // The next Refresh takes the rows afresh, as from a source never seen.
    void ForgetRows() { m_haveRows = false; }

    CTimelineViewport& Viewport() { return m_viewport; }
    const CTimelineViewport& Viewport() const { return m_viewport; }
    const STimelineLayout& Layout() const { return m_layout; }
    const STimelineView& View() const { return m_view; }
    const STimelineRunInfo& RunInfo() const { return m_info; }
    const NArray<STimelineRow>& Rows() const { return m_rows; }
    int GetSelected() const { return m_selected; }
    double GetBandMax() const { return m_bandMax; }

    // The pixels of the heat map and the band.
    void Draw(STimelineCanvas& canvas) const;
    // A row's label: "TTL 3 198.51.100.6 name", an alternative's indented.
    CString RowLabel(int row) const;
    // The band's title: the selected row and the scale of its round trips.
    CString BandTitle() const;

private:
    NArray<STimelineRow> m_rows;
    NArray<STimelineLaneKey> m_keys;
    STimelineView m_view;
    STimelineLayout m_layout;
    CTimelineViewport m_viewport;
    STimelineRunInfo m_info;
    double m_rttScale = 0.0;
    double m_bandMax = 0.0;
    int m_selected = -1;
    bool m_haveRows = false;
    DWORD m_rowsVersion = 0;
    DWORD m_visibleRows = 0;
};
