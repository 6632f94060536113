// CTimelineEventFinder: finds loss episodes and route changes in a run's columns of buckets.
#pragma once

#include <cstddef>

#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "timeline/timeline_bucket.h"
#include "timeline/timeline_event.h"

// One hop's part of a column: its row's bucket and who answered within it.
struct STimelineHopColumn {
    STimelineBucket bucket;
    STimelineResponders responders; // empty when nobody (or nobody told apart) answered
    bool watched = false; // the hop has answered during the run, so its losses mean something
};

// Reads a run as a sequence of columns, oldest first, each at least 10 s wide (so that a single
// lost probe among many does not make an episode), with one STimelineHopColumn per hop.
//
// A hop's cell is lossy when at least a quarter of its resolved probes failed, and at least two
// did (or it resolved only one or two). A column is lossy when a watched hop's cell is; clean
// when none is and some watched hop resolved probes; otherwise (nothing resolved) it is passed
// over. An episode runs from the first lossy column to the last one before two clean columns in a
// row; its hops are those with lossy cells, its worst loss the largest failed share of one of
// them over the episode.
//
// A hop's responders change when a set of responders other than the committed one is seen in two
// columns in a row; the change is dated to the first column that showed one of the new
// responders (a split that goes: the first column without the one that left). The first set of
// a hop is committed without an event. Columns where the hop had no answer are passed over.
//
// The newest kMaxEvents events are kept; older ones are counted. A plain value: copying it lets a
// reader finish a copy while the original goes on. Memory is taken by Prepare only.
class CTimelineEventFinder {
public:
    static constexpr int kMaxHops = 256;
    static constexpr int kMaxEvents = 256;

    // Makes room for kMaxHops hops and kMaxEvents events and forgets everything. FALSE when
    // memory ran out (the finder then finds nothing).
    BOOL Prepare();
    // Forgets every event and state; keeps the memory.
    void Reset();

    // The next column [start, end) in seconds; hops[h] for hops 0 to hopCount - 1 (more than
    // kMaxHops are not looked at).
    void Feed(double start, double end, const STimelineHopColumn* hops, int hopCount);
    // Ends the reading: an episode still open is given as ongoing. Writes the events in order of
    // their start into events and how many older ones were not kept into omitted. FALSE when
    // memory ran out. The finder is finished afterwards: feed a copy when the run goes on.
    BOOL Finish(NArray<STimelineEvent>& events, DWORD& omitted);
    // Bytes held for the hops' states and the events.
    std::size_t GetMemoryBytes() const;

private:
    struct SHopState {
        STimelineResponders committed;
        STimelineResponders candidate;
        int candidateColumns = 0;
        double candidateStart = 0.0;
        double firstNewStart = -1.0; // first column since the committed set that showed a new one
        // Sums of the open episode, and of the clean columns since its last lossy one.
        DWORD lost = 0;
        DWORD resolved = 0;
        DWORD gapLost = 0;
        DWORD gapResolved = 0;
    };

    void FeedRoute(DWORD hop, double start, const STimelineResponders& seen);
    void FeedLoss(double start, double end, const STimelineHopColumn* hops, int hopCount);
    void CloseEpisode(bool ongoing);
    void Emit(const STimelineEvent& event);

    NArray<SHopState> m_hops;
    NArray<STimelineEvent> m_events; // a ring of the newest events
    int m_eventCount = 0;
    int m_eventHead = 0; // the oldest kept event
    DWORD m_omitted = 0;
    bool m_open = false; // an episode is open
    STimelineEvent m_episode;
    double m_lastLossyEnd = 0.0;
    int m_cleanColumns = 0;
};
