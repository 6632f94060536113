// CHopwatchTimeline: reading: views of cells at the finest kept resolution, totals and events.
#include "timeline/CHopwatchTimeline.h"

#include <cmath>

#include "timeline/timeline_levels.h"

STimelineRunInfo CHopwatchTimeline::GetRunInfo() const {
    std::lock_guard<std::mutex> guard(m_lock);
    STimelineRunInfo info;
    info.hasRun = m_hasRun;
    info.startTime = m_startTime;
    info.length = m_newest;
    info.dropped = m_dropped;
    info.version = m_version.load();
    return info;
}

int CHopwatchTimeline::FindLaneLocked(const STimelineLaneKey& key) const {
    if (key.hop >= static_cast<DWORD>(m_hops.GetSize()))
        return -1;
    const SHop& state = m_hops[static_cast<int>(key.hop)];
    if (key.responder == 0)
        return state.lane;
    for (int lane = state.firstResponderLane; lane >= 0; lane = m_lanes[lane].nextOfHop) {
        if (m_lanes[lane].responder == key.responder)
            return lane;
    }
    return -1;
}

// The coarsest level whose buckets fit into `width` and that still keeps `start`; when none
// fits, the finest that keeps it, whose buckets are then wider than the slot.
int CHopwatchTimeline::ChooseLevelLocked(double start, double width) const {
    if (start < 0.0)
        start = 0.0;
    int best = -1;
    for (int level = 0; level < kLevelCount; ++level) {
        const double levelWidth = WidthLocked(level);
        if (!CoversLocked(level, static_cast<std::int64_t>(std::floor(start / levelWidth))))
            continue;
        if (levelWidth <= width * (1.0 + 1e-9)) {
            best = level;
            continue;
        }
        if (best < 0)
            best = level;
        break;
    }
    return best >= 0 ? best : kTimelineTopLevel;
}

BOOL CHopwatchTimeline::ReadView(const STimelineLaneKey* keys, int laneCount, double from,
                                 double to, int slots, STimelineView& view) const {
    if (slots <= 0 || laneCount < 0 || !(to > from) || !view.Size(laneCount, slots))
        return FALSE;
    NArray<int> lanes;
    if (!lanes.SetSize(laneCount))
        return FALSE;
    view.from = from;
    view.to = to;
    const double slotWidth = (to - from) / slots;
    std::lock_guard<std::mutex> guard(m_lock);
    for (int k = 0; k < laneCount; ++k)
        lanes[k] = FindLaneLocked(keys[k]);
    for (int s = 0; s < slots; ++s) {
        const double start = from + s * slotWidth;
        const int level = ChooseLevelLocked(start, slotWidth);
        const double width = WidthLocked(level);
        // A small allowance, so that a slot edge that is a bucket edge in exact arithmetic does
        // not pull in a neighbour through rounding.
        const std::int64_t first = static_cast<std::int64_t>(std::floor(start / width + 1e-9));
        std::int64_t last =
            static_cast<std::int64_t>(std::ceil((start + slotWidth) / width - 1e-9)) - 1;
        if (last < first)
            last = first;
        view.spanStart[s] = static_cast<double>(first) * width;
        view.spanEnd[s] = static_cast<double>(last + 1) * width;
        for (int k = 0; k < laneCount; ++k) {
            STimelineBucket cell;
            if (lanes[k] >= 0) {
                for (std::int64_t i = first; i <= last; ++i) {
                    if (const STimelineBucket* bucket = BucketAtLocked(m_lanes[lanes[k]], level, i))
                        cell.Merge(*bucket);
                }
            }
            view.cells[k * slots + s] = cell;
        }
    }
    return TRUE;
}

STimelineBucket CHopwatchTimeline::GetLaneTotal(const STimelineLaneKey& key) const {
    std::lock_guard<std::mutex> guard(m_lock);
    const int lane = FindLaneLocked(key);
    return lane >= 0 ? m_lanes[lane].total : STimelineBucket();
}

double CHopwatchTimeline::GetFinestWidthFromStart() const {
    std::lock_guard<std::mutex> guard(m_lock);
    for (int level = 0; level < kLevelCount; ++level) {
        if (CoversLocked(level, 0))
            return WidthLocked(level);
    }
    return m_topWidth;
}

// Narrows a loss episode found on 10 s columns to the seconds of level 0 that lost probes at
// one of its hops, where level 0 still holds them.
void CHopwatchTimeline::RefineEpisodeLocked(STimelineEvent& event) const {
    const int steps = static_cast<int>(kEventColumnSeconds);
    auto failedAt = [&](std::int64_t second) {
        for (DWORD hop = 0; hop < static_cast<DWORD>(kMaxHops); ++hop) {
            if (!event.hops.Has(hop) || m_hops[static_cast<int>(hop)].lane < 0)
                continue;
            const STimelineBucket* bucket =
                BucketAtLocked(m_lanes[m_hops[static_cast<int>(hop)].lane], 0, second);
            if (bucket != nullptr && bucket->Failed() > 0)
                return true;
        }
        return false;
    };
    const std::int64_t first = static_cast<std::int64_t>(std::floor(event.start));
    for (std::int64_t s = first; s < first + steps; ++s) {
        if (CoversLocked(0, s) && failedAt(s)) {
            event.start = static_cast<double>(s);
            break;
        }
    }
    const std::int64_t last = static_cast<std::int64_t>(std::ceil(event.end)) - 1;
    for (std::int64_t s = last; s > last - steps && s >= 0; --s) {
        if (CoversLocked(0, s) && failedAt(s)) {
            event.end = static_cast<double>(s + 1);
            break;
        }
    }
}

BOOL CHopwatchTimeline::FindEvents(NArray<STimelineEvent>& events, DWORD& omitted) const {
    NArray<STimelineHopColumn> columns;
    if (!columns.SetSize(kMaxHops))
        return FALSE;
    std::lock_guard<std::mutex> guard(m_lock);
    events.SetSize(0);
    omitted = 0;
    if (!m_ready)
        return TRUE;
    // The columns still in level 1 are read by a copy, so that the run can go on.
    CTimelineEventFinder finder = m_finder;
    const std::int64_t head = m_heads[kTimelineEventLevel];
    std::int64_t column = head - kTimelineLevels[kTimelineEventLevel].capacity + 1;
    if (column < m_archived)
        column = m_archived;
    for (; column <= head; ++column)
        FeedColumnLocked(finder, column, columns);
    if (!finder.Finish(events, omitted))
        return FALSE;
    for (int i = 0; i < events.GetSize(); ++i) {
        if (events[i].kind == kTimelineLossEpisode)
            RefineEpisodeLocked(events[i]);
    }
    return TRUE;
}

std::size_t CHopwatchTimeline::GetMemoryBytes() const {
    std::lock_guard<std::mutex> guard(m_lock);
    std::size_t bytes =
        sizeof(*this) + static_cast<std::size_t>(m_hops.GetCapacity()) * sizeof(SHop) +
        static_cast<std::size_t>(m_lanes.GetCapacity()) * sizeof(SLane) +
        static_cast<std::size_t>(m_columns.GetCapacity()) * sizeof(STimelineHopColumn) +
        m_finder.GetMemoryBytes();
    for (int l = 0; l < m_lanes.GetSize(); ++l)
        bytes +=
            static_cast<std::size_t>(m_lanes[l].buckets.GetCapacity()) * sizeof(STimelineBucket);
    return bytes;
}
