// CHopwatchTimeline: feeding: lanes, the rings of buckets and the columns that leave them.
#include "timeline/CHopwatchTimeline.h"

#include <cmath>

#include "timeline/timeline_levels.h"

CHopwatchTimeline::CHopwatchTimeline() = default;
CHopwatchTimeline::~CHopwatchTimeline() = default;

void CHopwatchTimeline::OnRunStart(std::int64_t startTicks, std::int64_t frequency,
                                   const CNTimeStamp& startTime) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_ready = PrepareLocked();
    ResetLocked();
    m_hasRun = m_ready;
    m_startTicks = startTicks;
    m_frequency = frequency;
    m_startTime = startTime;
    ++m_version;
}

bool CHopwatchTimeline::PrepareLocked() {
    // The tables are made once and kept for the following runs.
    if (m_hops.GetSize() != kMaxHops && !m_hops.SetSize(kMaxHops))
        return false;
    if (m_lanes.GetSize() != kMaxHops + kMaxResponderLanes &&
        !m_lanes.SetSize(kMaxHops + kMaxResponderLanes))
        return false;
    if (m_columns.GetSize() != kMaxHops && !m_columns.SetSize(kMaxHops))
        return false;
    return m_finder.Prepare() != FALSE;
}

void CHopwatchTimeline::ResetLocked() {
    for (int h = 0; h < m_hops.GetSize(); ++h)
        m_hops[h] = SHop();
    m_hopLimit = 0;
    m_laneCount = 0;
    m_responderLanes = 0;
    m_newest = 0.0;
    m_anySent = false;
    for (std::int64_t& head : m_heads)
        head = -1;
    m_topWidth = kTimelineLevels[kTimelineTopLevel].width;
    m_dropped = 0;
    m_archived = 0;
    m_finder.Reset();
    m_hasRun = false;
}

int CHopwatchTimeline::NewLaneLocked(DWORD hop, DWORD responder) {
    if (m_laneCount >= m_lanes.GetSize())
        return -1;
    SLane& lane = m_lanes[m_laneCount];
    // Each lane's storage is allocated the first time its slot is used and kept for later runs,
    // so a run allocates at most once per hop and per responder of a split, never per probe.
    if (lane.buckets.GetSize() != kTimelineLaneBuckets) {
        if (!lane.buckets.SetSize(kTimelineLaneBuckets))
            return -1;
    } else {
        for (int i = 0; i < kTimelineLaneBuckets; ++i)
            lane.buckets[i] = STimelineBucket();
    }
    lane.hop = hop;
    lane.responder = responder;
    lane.nextOfHop = -1;
    lane.total = STimelineBucket();
    return m_laneCount++;
}

int CHopwatchTimeline::HopLaneLocked(DWORD hop) {
    SHop& state = m_hops[static_cast<int>(hop)];
    if (state.lane < 0) {
        state.lane = NewLaneLocked(hop, 0);
        if (state.lane >= 0 && static_cast<int>(hop) >= m_hopLimit)
            m_hopLimit = static_cast<int>(hop) + 1;
    }
    return state.lane;
}

int CHopwatchTimeline::ResponderLaneLocked(DWORD hop, DWORD responder, bool create) {
    SHop& state = m_hops[static_cast<int>(hop)];
    int last = -1;
    for (int lane = state.firstResponderLane; lane >= 0; lane = m_lanes[lane].nextOfHop) {
        if (m_lanes[lane].responder == responder)
            return lane;
        last = lane;
    }
    if (!create || m_responderLanes >= kMaxResponderLanes)
        return -1;
    const int lane = NewLaneLocked(hop, responder);
    if (lane < 0)
        return -1;
    ++m_responderLanes;
    if (last >= 0)
        m_lanes[last].nextOfHop = lane;
    else
        state.firstResponderLane = lane;
    return lane;
}

// A hop gets lanes of its own responders when a second one answers, as the list splits the hop
// into alternative rows then: the first responder's lane starts as a copy of the answers the hop
// had so far (all of them were its), without the hop's sent and failed probes.
void CHopwatchTimeline::NoteResponderLocked(DWORD hop, DWORD responder) {
    if (responder == 0)
        return;
    SHop& state = m_hops[static_cast<int>(hop)];
    if (state.firstResponder == 0xFFFFFFFFu) {
        state.firstResponder = responder;
        return;
    }
    if (state.firstResponderLane >= 0 || responder == state.firstResponder)
        return;
    const int hopLane = HopLaneLocked(hop);
    const int first = ResponderLaneLocked(hop, state.firstResponder, true);
    if (hopLane < 0 || first < 0)
        return;
    SLane& copy = m_lanes[first];
    const SLane& source = m_lanes[hopLane];
    for (int i = 0; i < kTimelineLaneBuckets; ++i) {
        STimelineBucket& bucket = copy.buckets[i];
        bucket = source.buckets[i];
        bucket.sent = bucket.lost = bucket.unreachable = 0;
    }
    copy.total = source.total;
    copy.total.sent = copy.total.lost = copy.total.unreachable = 0;
    ResponderLaneLocked(hop, responder, true);
}

double CHopwatchTimeline::WidthLocked(int level) const {
    return level == kTimelineTopLevel ? m_topWidth : kTimelineLevels[level].width;
}

bool CHopwatchTimeline::CoversLocked(int level, std::int64_t index) const {
    if (index < 0)
        return false;
    if (level == kTimelineTopLevel)
        return index < kTimelineLevels[level].capacity;
    return m_heads[level] < 0 || index > m_heads[level] - kTimelineLevels[level].capacity;
}

int CHopwatchTimeline::SlotLocked(int level, std::int64_t index) const {
    if (!CoversLocked(level, index) || (level != kTimelineTopLevel && index > m_heads[level]))
        return -1;
    const STimelineLevel& shape = kTimelineLevels[level];
    return shape.offset + static_cast<int>(index % shape.capacity);
}

const STimelineBucket* CHopwatchTimeline::BucketAtLocked(const SLane& lane, int level,
                                                         std::int64_t index) const {
    const int slot = SlotLocked(level, index);
    return slot >= 0 ? &lane.buckets[slot] : nullptr;
}

template <class F>
void CHopwatchTimeline::ForEachBucketLocked(int laneIndex, double seconds, F apply) {
    if (laneIndex < 0)
        return;
    SLane& lane = m_lanes[laneIndex];
    for (int level = 0; level < kLevelCount; ++level) {
        // An outcome older than what a ring keeps counts at the coarser levels only.
        const int slot =
            SlotLocked(level, static_cast<std::int64_t>(std::floor(seconds / WidthLocked(level))));
        if (slot >= 0)
            apply(lane.buckets[slot]);
    }
    apply(lane.total);
}

void CHopwatchTimeline::AdvanceLocked(double seconds) {
    if (!m_anySent || seconds > m_newest)
        m_newest = seconds;
    m_anySent = true;
    for (int level = 0; level < kTimelineTopLevel; ++level) {
        const STimelineLevel& shape = kTimelineLevels[level];
        const std::int64_t index = static_cast<std::int64_t>(std::floor(seconds / shape.width));
        std::int64_t& head = m_heads[level];
        if (index <= head)
            continue;
        if (level == kTimelineEventLevel)
            ArchiveColumnsLocked(index - shape.capacity);
        std::int64_t first = head + 1;
        if (first < index - shape.capacity + 1)
            first = index - shape.capacity + 1;
        for (std::int64_t i = first; i <= index; ++i) {
            const int slot = shape.offset + static_cast<int>(i % shape.capacity);
            for (int lane = 0; lane < m_laneCount; ++lane)
                m_lanes[lane].buckets[slot] = STimelineBucket();
        }
        head = index;
    }
    while (seconds / m_topWidth >= kTimelineLevels[kTimelineTopLevel].capacity)
        MergeTopLevelLocked();
}

void CHopwatchTimeline::MergeTopLevelLocked() {
    const STimelineLevel& shape = kTimelineLevels[kTimelineTopLevel];
    for (int l = 0; l < m_laneCount; ++l) {
        STimelineBucket* top = m_lanes[l].buckets.GetData() + shape.offset;
        for (int i = 0; i < shape.capacity / 2; ++i) {
            STimelineBucket merged = top[2 * i];
            merged.Merge(top[2 * i + 1]);
            top[i] = merged;
        }
        for (int i = shape.capacity / 2; i < shape.capacity; ++i)
            top[i] = STimelineBucket();
    }
    m_topWidth *= 2.0;
}

// Level 1's columns up to `through` are about to be overwritten: the finder reads them first.
void CHopwatchTimeline::ArchiveColumnsLocked(std::int64_t through) {
    const std::int64_t head = m_heads[kTimelineEventLevel];
    if (head < 0)
        return;
    const std::int64_t oldest = head - kTimelineLevels[kTimelineEventLevel].capacity + 1;
    if (m_archived < oldest)
        m_archived = oldest; // never written: a gap in the run
    for (; m_archived <= through && m_archived <= head; ++m_archived)
        FeedColumnLocked(m_finder, m_archived, m_columns);
}

void CHopwatchTimeline::FeedColumnLocked(CTimelineEventFinder& finder, std::int64_t column,
                                         NArray<STimelineHopColumn>& hops) const {
    int hopCount = 0;
    for (int h = 0; h < m_hopLimit && h < hops.GetSize(); ++h) {
        STimelineHopColumn& cell = hops[h];
        cell = STimelineHopColumn();
        const SHop& state = m_hops[h];
        if (state.lane < 0)
            continue;
        hopCount = h + 1;
        const SLane& lane = m_lanes[state.lane];
        if (const STimelineBucket* bucket = BucketAtLocked(lane, kTimelineEventLevel, column))
            cell.bucket = *bucket;
        cell.watched = lane.total.answered > 0;
        if (state.firstResponderLane < 0) {
            if (state.firstResponder != 0xFFFFFFFFu && cell.bucket.answered > 0)
                cell.responders.Add(state.firstResponder);
            continue;
        }
        for (int l = state.firstResponderLane; l >= 0; l = m_lanes[l].nextOfHop) {
            const STimelineBucket* bucket = BucketAtLocked(m_lanes[l], kTimelineEventLevel, column);
            if (bucket != nullptr && bucket->answered > 0)
                cell.responders.Add(m_lanes[l].responder);
        }
    }
    const double width = kTimelineLevels[kTimelineEventLevel].width;
    finder.Feed(static_cast<double>(column) * width, static_cast<double>(column + 1) * width,
                hops.GetData(), hopCount);
}

void CHopwatchTimeline::OnOutcomes(const SHopwatchOutcome* outcomes, DWORD count, DWORD dropped) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_dropped += dropped;
    if (!m_ready)
        return;
    for (DWORD i = 0; i < count; ++i) {
        const SHopwatchOutcome& outcome = outcomes[i];
        const DWORD hop = outcome.hop;
        if (hop >= static_cast<DWORD>(kMaxHops))
            continue;
        double seconds = m_frequency > 0 ? static_cast<double>(outcome.sendTime - m_startTicks) /
                                               static_cast<double>(m_frequency)
                                         : 0.0;
        if (!(seconds > 0.0))
            seconds = 0.0;
        const bool answer = (outcome.kind == kOutcomeReply || outcome.kind == kOutcomeLate) &&
                            !std::isnan(outcome.rtt);
        switch (outcome.kind) {
        case kOutcomeSent:
            AdvanceLocked(seconds);
            ForEachBucketLocked(HopLaneLocked(hop), seconds,
                                [](STimelineBucket& bucket) { ++bucket.sent; });
            break;
        case kOutcomeUnreachable:
            NoteResponderLocked(hop, outcome.responder);
            ForEachBucketLocked(HopLaneLocked(hop), seconds,
                                [](STimelineBucket& bucket) { ++bucket.unreachable; });
            break;
        case kOutcomeLost:
            ForEachBucketLocked(HopLaneLocked(hop), seconds,
                                [](STimelineBucket& bucket) { ++bucket.lost; });
            break;
        case kOutcomeReply:
        case kOutcomeLate:
            NoteResponderLocked(hop, outcome.responder);
            if (!answer)
                break; // a late unreachable answer leaves the probe counted lost
            ForEachBucketLocked(HopLaneLocked(hop), seconds, [&](STimelineBucket& bucket) {
                // A late answer undoes the loss its time-out counted.
                if (outcome.kind == kOutcomeLate && bucket.lost > 0)
                    --bucket.lost;
                bucket.AddAnswer(outcome.rtt);
            });
            if (m_hops[static_cast<int>(hop)].firstResponderLane >= 0)
                ForEachBucketLocked(
                    ResponderLaneLocked(hop, outcome.responder, true), seconds,
                    [&](STimelineBucket& bucket) { bucket.AddAnswer(outcome.rtt); });
            break;
        default:
            break; // void: the probe went beyond the route's end and counts nowhere
        }
    }
    ++m_version;
}
