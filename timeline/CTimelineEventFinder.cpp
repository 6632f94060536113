// CTimelineEventFinder: finds loss episodes and route changes in a run's columns of buckets.
#include "timeline/CTimelineEventFinder.h"

#include <algorithm>

namespace {

// Columns a new set of responders must hold before it counts as the hop's route.
constexpr int kStableColumns = 2;
// Clean columns in a row that end an episode.
constexpr int kClosingColumns = 2;

bool IsLossy(const STimelineBucket& bucket) {
    const DWORD failed = bucket.Failed();
    const DWORD resolved = bucket.Resolved();
    if (failed == 0 || failed * 4 < resolved)
        return false;
    return failed >= 2 || resolved <= 2;
}

ETimelineEventKind RouteChangeKind(const STimelineResponders& before,
                                   const STimelineResponders& after) {
    if (before.count < after.count && before.IsSubsetOf(after))
        return kTimelineSplitAppears;
    if (after.count < before.count && after.IsSubsetOf(before))
        return kTimelineSplitGoes;
    return kTimelineResponderChange;
}

} // namespace

BOOL CTimelineEventFinder::Prepare() {
    if (!m_hops.SetSize(kMaxHops) || !m_events.SetSize(kMaxEvents)) {
        m_hops.SetSize(0);
        m_events.SetSize(0);
        return FALSE;
    }
    Reset();
    return TRUE;
}

void CTimelineEventFinder::Reset() {
    for (int h = 0; h < m_hops.GetSize(); ++h)
        m_hops[h] = SHopState();
    m_eventCount = 0;
    m_eventHead = 0;
    m_omitted = 0;
    m_open = false;
    m_cleanColumns = 0;
}

void CTimelineEventFinder::Feed(double start, double end, const STimelineHopColumn* hops,
                                int hopCount) {
    if (hopCount > m_hops.GetSize())
        hopCount = m_hops.GetSize();
    for (int h = 0; h < hopCount; ++h)
        FeedRoute(static_cast<DWORD>(h), start, hops[h].responders);
    FeedLoss(start, end, hops, hopCount);
}

void CTimelineEventFinder::FeedRoute(DWORD hop, double start, const STimelineResponders& seen) {
    if (seen.count == 0)
        return;
    SHopState& state = m_hops[static_cast<int>(hop)];
    if (seen == state.committed) {
        state.candidateColumns = 0;
        state.firstNewStart = -1.0;
        return;
    }
    if (state.firstNewStart < 0.0 && !seen.IsSubsetOf(state.committed))
        state.firstNewStart = start;
    if (state.candidateColumns > 0 && seen == state.candidate) {
        ++state.candidateColumns;
    } else {
        state.candidate = seen;
        state.candidateColumns = 1;
        state.candidateStart = start;
    }
    if (state.candidateColumns < kStableColumns)
        return;
    if (state.committed.count > 0) {
        STimelineEvent event;
        event.kind = RouteChangeKind(state.committed, state.candidate);
        event.start = event.kind != kTimelineSplitGoes && state.firstNewStart >= 0.0
                          ? state.firstNewStart
                          : state.candidateStart;
        event.end = event.start;
        event.hops.Add(hop);
        event.before = state.committed;
        event.after = state.candidate;
        Emit(event);
    }
    state.committed = state.candidate;
    state.candidateColumns = 0;
    state.firstNewStart = -1.0;
}

void CTimelineEventFinder::FeedLoss(double start, double end, const STimelineHopColumn* hops,
                                    int hopCount) {
    bool lossy = false;
    bool resolved = false;
    for (int h = 0; h < hopCount; ++h) {
        if (!hops[h].watched)
            continue;
        resolved = resolved || hops[h].bucket.Resolved() > 0;
        lossy = lossy || IsLossy(hops[h].bucket);
    }
    if (!lossy && !(resolved && m_open))
        return;
    if (lossy && !m_open) {
        m_open = true;
        m_episode = STimelineEvent();
        m_episode.start = start;
        for (int h = 0; h < m_hops.GetSize(); ++h) {
            SHopState& state = m_hops[h];
            state.lost = state.resolved = state.gapLost = state.gapResolved = 0;
        }
    }
    for (int h = 0; h < hopCount; ++h) {
        if (!hops[h].watched)
            continue;
        SHopState& state = m_hops[h];
        state.gapLost += hops[h].bucket.Failed();
        state.gapResolved += hops[h].bucket.Resolved();
        if (lossy) {
            // The clean columns between two lossy ones belong to the episode.
            state.lost += state.gapLost;
            state.resolved += state.gapResolved;
            state.gapLost = state.gapResolved = 0;
        }
        if (IsLossy(hops[h].bucket))
            m_episode.hops.Add(static_cast<DWORD>(h));
    }
    if (lossy) {
        m_lastLossyEnd = end;
        m_cleanColumns = 0;
    } else if (++m_cleanColumns >= kClosingColumns) {
        CloseEpisode(false);
    }
}

void CTimelineEventFinder::CloseEpisode(bool ongoing) {
    m_open = false;
    m_cleanColumns = 0;
    m_episode.end = m_lastLossyEnd;
    m_episode.ongoing = ongoing;
    for (int h = 0; h < m_hops.GetSize(); ++h) {
        const SHopState& state = m_hops[h];
        if (!m_episode.hops.Has(static_cast<DWORD>(h)) || state.resolved == 0)
            continue;
        const double share = static_cast<double>(state.lost) / state.resolved;
        if (share > m_episode.worstLoss || m_episode.worstLoss == 0.0) {
            m_episode.worstLoss = share;
            m_episode.worstHop = static_cast<DWORD>(h);
        }
    }
    Emit(m_episode);
}

void CTimelineEventFinder::Emit(const STimelineEvent& event) {
    const int capacity = m_events.GetSize();
    if (capacity == 0) {
        ++m_omitted;
        return;
    }
    if (m_eventCount == capacity) {
        m_events[m_eventHead] = event;
        m_eventHead = (m_eventHead + 1) % capacity;
        ++m_omitted;
        return;
    }
    m_events[(m_eventHead + m_eventCount) % capacity] = event;
    ++m_eventCount;
}

BOOL CTimelineEventFinder::Finish(NArray<STimelineEvent>& events, DWORD& omitted) {
    if (m_open)
        CloseEpisode(true);
    if (!events.SetSize(m_eventCount))
        return FALSE;
    for (int i = 0; i < m_eventCount; ++i)
        events[i] = m_events[(m_eventHead + i) % m_events.GetSize()];
    // Episodes are emitted when they close, after changes that began later.
    std::stable_sort(
        events.GetData(), events.GetData() + m_eventCount,
        [](const STimelineEvent& a, const STimelineEvent& b) { return a.start < b.start; });
    omitted = m_omitted;
    return TRUE;
}

std::size_t CTimelineEventFinder::GetMemoryBytes() const {
    return static_cast<std::size_t>(m_hops.GetCapacity()) * sizeof(SHopState) +
           static_cast<std::size_t>(m_events.GetCapacity()) * sizeof(STimelineEvent);
}
