// CTimelineViewport: which span of a run the timeline window shows, and how zoom and pan move it.
#pragma once

#include "foundation/NArray.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/base_types.h"

// The span [from, from + span) seconds of the run across `width` pixels. Three ways of keeping
// it as the run grows: the whole run (Home), the newest part with its span kept (End: follows
// the live edge), or a fixed span (after zooming or panning into the past). Zoom goes from ten
// seconds across the plot (finer than one second per pixel, so that a short run can be looked
// into too; the finest buckets are a second wide) to the whole run. Portable arithmetic; the
// window calls it on its one thread.
class CTimelineViewport {
public:
    enum EMode { kWholeRun, kFollow, kFixed };

    // The run's length so far and the plot's width in pixels; brings the span in line with the
    // mode and the limits.
    void Update(double runLength, int width);

    // Zooms by factor (below 1 in, above 1 out) keeping the time under pixel x where it is;
    // following the live edge, the live edge stays where it is instead.
    void ZoomAt(int x, double factor);
    // Moves the view by dx pixels' worth of time: positive shows later times. Reaching the live
    // edge follows it; reaching the start holds there.
    void Pan(double dx);
    void Home() {
        m_mode = kWholeRun;
        Update(m_runLength, m_width);
    }
    void End() {
        m_mode = kFollow;
        Update(m_runLength, m_width);
    }

    EMode GetMode() const { return m_mode; }
    double GetFrom() const { return m_from; }
    double GetTo() const { return m_from + m_span; }
    double GetSpan() const { return m_span; }
    // Seconds per pixel.
    double GetScale() const { return m_width > 0 ? m_span / m_width : 0.0; }
    double SecondsAt(double x) const { return m_from + x * GetScale(); }
    double XOf(double seconds) const;

private:
    double MinSpan() const;
    double MaxSpan() const;

    EMode m_mode = kWholeRun;
    double m_runLength = 0.0;
    int m_width = 1;
    double m_from = 0.0;
    double m_span = 1.0;
};

// A label of the time axis at pixel x.
struct STimelineTick {
    int x = 0;
    CString text;
};

// Ticks of the time axis for the viewport: at wall-clock times that are whole multiples of a
// step (1 s up to a day), chosen so that labels are at least minGap pixels apart; labels are
// "HH:MM:SS" (local time of the run's start plus the seconds). FALSE when memory ran out.
BOOL TimelineAxisTicks(const CTimelineViewport& viewport, const CNTimeStamp& start, int minGap,
                       NArray<STimelineTick>& ticks);
