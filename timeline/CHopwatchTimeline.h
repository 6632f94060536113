// CHopwatchTimeline: a run's probe outcomes in time buckets per row, and the events found in them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "engine/CHopwatchOutcomeListener.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "timeline/CTimelineEventFinder.h"
#include "timeline/timeline_bucket.h"
#include "timeline/timeline_event.h"
#include "timeline/timeline_view.h"

// Memory is bounded by design, whatever the run's length. Every lane keeps the same four levels
// of buckets, each a fixed array that is allocated once, when the lane first appears:
//   level 0:  1 s buckets, a ring of  900 (the last 15 minutes)
//   level 1: 10 s buckets, a ring of  720 (the last 2 hours)
//   level 2:  1 min buckets, a ring of 1440 (the last 24 hours)
//   level 3: 10 min buckets from the run's start, 576 of them (4 days); when the run outgrows
//            them, neighbours are merged in pairs and the width doubles, so this level always
//            covers the whole run.
// That is 3636 buckets of 32 bytes, 116 KB, per lane. Lanes are one per hop (at most 256) and one
// per responder of a split hop (at most 128, as the engine's alternative records; later ones count
// in their hop's lane only). A reader sees each time at the finest level that still holds it. The
// events are found on level 1 as its columns leave the ring (and over the kept ones when asked),
// so they cover the whole run too, in a list of the newest 256.
//
// Threads: OnRunStart and OnOutcomes come from one thread at a time (the drain of a live run, or a
// recording's reader); the readers (window, console, report) call the const operations from any
// thread. One lock guards everything; it is never held while calling out, so it takes no part in
// the engine's lock order.
class CHopwatchTimeline : public CHopwatchOutcomeListener {
public:
    static constexpr int kLevelCount = 4;
    static constexpr int kMaxHops = 256;
    static constexpr int kMaxResponderLanes = 128;
    // Width of level 1's columns, on which events are found.
    static constexpr double kEventColumnSeconds = 10.0;

    CHopwatchTimeline();
    ~CHopwatchTimeline() override;
    CHopwatchTimeline(const CHopwatchTimeline&) = delete;
    CHopwatchTimeline& operator=(const CHopwatchTimeline&) = delete;

    // ---- The feeding thread ----
    void OnRunStart(std::int64_t startTicks, std::int64_t frequency,
                    const CNTimeStamp& startTime) override;
    void OnOutcomes(const SHopwatchOutcome* outcomes, DWORD count, DWORD dropped) override;

    // ---- Readers, any thread ----
    STimelineRunInfo GetRunInfo() const;
    // Moves whenever the model changes (no lock).
    DWORD GetVersion() const { return m_version.load(); }
    // Fills view with `slots` slots from `from` to `to` seconds for each of the lanes; a lane the
    // model does not know stays empty. FALSE when memory ran out or the span is empty.
    BOOL ReadView(const STimelineLaneKey* keys, int laneCount, double from, double to, int slots,
                  STimelineView& view) const;
    // The whole run's bucket of a lane (empty when unknown).
    STimelineBucket GetLaneTotal(const STimelineLaneKey& key) const;
    // The width in seconds of the finest level that still covers the run's start.
    double GetFinestWidthFromStart() const;
    // The run's events in order of their start; omitted counts older ones not kept. A loss
    // episode's start and end are refined to the second where level 0 still holds them. FALSE
    // when memory ran out.
    BOOL FindEvents(NArray<STimelineEvent>& events, DWORD& omitted) const;
    // Bytes the model holds.
    std::size_t GetMemoryBytes() const;

private:
    struct SLane {
        DWORD hop = 0;
        DWORD responder = 0; // 0 for the hop's own lane
        int nextOfHop = -1;  // the hop's next responder lane
        STimelineBucket total;
        NArray<STimelineBucket> buckets; // the four levels one after the other
    };
    struct SHop {
        int lane = -1;                      // the hop's own lane
        int firstResponderLane = -1;        // its responder lanes, once a second responder answered
        DWORD firstResponder = 0xFFFFFFFFu; // the first that answered; all ones = none yet
    };

    bool PrepareLocked();
    void ResetLocked();
    int HopLaneLocked(DWORD hop);
    int ResponderLaneLocked(DWORD hop, DWORD responder, bool create);
    int NewLaneLocked(DWORD hop, DWORD responder);
    void NoteResponderLocked(DWORD hop, DWORD responder);
    void AdvanceLocked(double seconds);
    void ArchiveColumnsLocked(std::int64_t through);
    // Feeds level 1's column to finder, with hops as room for one cell per hop.
    void FeedColumnLocked(CTimelineEventFinder& finder, std::int64_t column,
                          NArray<STimelineHopColumn>& hops) const;
    void MergeTopLevelLocked();
    // Where a level keeps the bucket of index in a lane's array, or -1 when it does not keep it
    // (too old, or not yet begun).
    int SlotLocked(int level, std::int64_t index) const;
    const STimelineBucket* BucketAtLocked(const SLane& lane, int level, std::int64_t index) const;
    template <class F> void ForEachBucketLocked(int laneIndex, double seconds, F apply);
    bool CoversLocked(int level, std::int64_t index) const;
    double WidthLocked(int level) const;
    int ChooseLevelLocked(double start, double width) const;
    int FindLaneLocked(const STimelineLaneKey& key) const;
    void RefineEpisodeLocked(STimelineEvent& event) const;

    mutable std::mutex m_lock;
    std::atomic<DWORD> m_version{0};
    bool m_ready = false; // prepared for a run
    bool m_hasRun = false;
    std::int64_t m_startTicks = 0;
    std::int64_t m_frequency = 0;
    CNTimeStamp m_startTime;
    double m_newest = 0.0;
    bool m_anySent = false;
    std::int64_t m_heads[kLevelCount] = {-1, -1, -1, -1}; // newest index of each ring level
    double m_topWidth = 0.0;
    DWORD m_dropped = 0;
    NArray<SHop> m_hops;
    int m_hopLimit = 0;    // hops below this have lanes or none do
    NArray<SLane> m_lanes; // sized for every lane there can be; m_laneCount in use
    int m_laneCount = 0;
    int m_responderLanes = 0;
    CTimelineEventFinder m_finder;        // over the columns that left level 1
    std::int64_t m_archived = 0;          // the next level 1 column the finder has not read
    NArray<STimelineHopColumn> m_columns; // one per hop, for feeding the finder
};
