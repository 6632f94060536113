// CTimelineViewport: which span of a run the timeline window shows, and how zoom and pan move it.
#include "timeline/CTimelineViewport.h"

#include <cmath>

#include "timeline/timeline_view.h"

namespace {

// The shortest span shown: the whole-run view of a run's first seconds, and the deepest zoom.
constexpr double kShortestSpan = 10.0;

} // namespace

double CTimelineViewport::MinSpan() const {
    return kShortestSpan;
}

double CTimelineViewport::MaxSpan() const {
    return m_runLength > kShortestSpan ? m_runLength : kShortestSpan;
}

void CTimelineViewport::Update(double runLength, int width) {
    m_runLength = runLength > 0.0 ? runLength : 0.0;
    m_width = width > 1 ? width : 1;
    if (m_mode == kWholeRun) {
        m_from = 0.0;
        m_span = MaxSpan();
        return;
    }
    if (m_span < MinSpan())
        m_span = MinSpan();
    if (m_span >= MaxSpan()) {
        m_mode = kWholeRun;
        m_from = 0.0;
        m_span = MaxSpan();
        return;
    }
    if (m_mode == kFollow)
        m_from = m_runLength - m_span;
    if (m_from > m_runLength - m_span)
        m_from = m_runLength - m_span;
    if (m_from < 0.0)
        m_from = 0.0;
}

void CTimelineViewport::ZoomAt(int x, double factor) {
    if (!(factor > 0.0))
        return;
    const double anchor = SecondsAt(x);
    double span = m_span * factor;
    if (span < MinSpan())
        span = MinSpan();
    if (m_mode == kWholeRun && span < MaxSpan())
        m_mode = kFixed;
    if (m_mode == kFixed)
        m_from = anchor - span * x / m_width;
    m_span = span;
    Update(m_runLength, m_width);
}

void CTimelineViewport::Pan(double dx) {
    if (m_mode == kWholeRun)
        return;
    m_mode = kFixed;
    m_from += dx * GetScale();
    if (m_from >= m_runLength - m_span)
        m_mode = kFollow;
    Update(m_runLength, m_width);
}

double CTimelineViewport::XOf(double seconds) const {
    const double scale = GetScale();
    return scale > 0.0 ? (seconds - m_from) / scale : 0.0;
}

BOOL TimelineAxisTicks(const CTimelineViewport& viewport, const CNTimeStamp& start, int minGap,
                       NArray<STimelineTick>& ticks) {
    static const double kSteps[] = {1,   2,   5,    10,   15,   30,    60,    120,   300,
                                    600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    double step = kSteps[0];
    for (double candidate : kSteps) {
        step = candidate;
        if (candidate / viewport.GetScale() >= minGap)
            break;
    }
    // Ticks fall on whole steps of the local time of day (a day divides into every step), so
    // the labels read 12:00:00, 12:00:30, ...
    const double dayOffset =
        std::fmod(static_cast<double>(start.GetValue() % (86400ull * 10000000ull)) / 1e7, step);
    double first = std::ceil((viewport.GetFrom() + dayOffset) / step) * step - dayOffset;
    if (!ticks.SetSize(0))
        return FALSE;
    for (double t = first; t <= viewport.GetTo() + 1e-9; t += step) {
        const int n = ticks.GetSize();
        if (!ticks.SetSize(n + 1))
            return FALSE;
        ticks[n].x = static_cast<int>(std::floor(viewport.XOf(t) + 0.5));
        ticks[n].text = TimelineClockText(start, t);
    }
    return TRUE;
}
