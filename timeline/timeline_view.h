// What a reader takes from the timeline model: lane keys, the run's clock and a view of cells.
#pragma once

#include "foundation/CNTimeStamp.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "timeline/timeline_bucket.h"

// Names a lane: a hop's own row (responder 0; for a split hop, the aggregate of all its
// responders) or the row of one responder (network byte order) of a split hop.
struct STimelineLaneKey {
    DWORD hop = 0;
    DWORD responder = 0;
};

// The run the model holds.
struct STimelineRunInfo {
    bool hasRun = false;
    CNTimeStamp startTime; // local wall-clock time of the run's start
    double length = 0.0;   // seconds from the start to the newest probe sent
    DWORD dropped = 0;     // outcomes that never reached the model (the engine's ring was full)
    DWORD version = 0;     // moves whenever the model changes
};

// A grid of cells: `slots` equal slots from `from` to `to` (seconds since the run's start) for
// each of `lanes` lanes. Each slot holds the buckets of the finest kept resolution that still
// covers its start, merged; spanStart/spanEnd give the time those buckets cover (wider than the
// slot when the slot is finer than what is kept).
struct STimelineView {
    double from = 0.0;
    double to = 0.0;
    int slots = 0;
    int lanes = 0;
    NArray<double> spanStart;
    NArray<double> spanEnd;
    NArray<STimelineBucket> cells; // lane-major: cells[lane * slots + slot]

    const STimelineBucket& Cell(int lane, int slot) const { return cells[lane * slots + slot]; }
    // Sizes the arrays; FALSE when memory ran out.
    BOOL Size(int laneCount, int slotCount);
    // The scale of the cells' colours: the largest average round trip of a cell, which the ramp
    // shows light red, as the list's time columns are coloured against their largest value; 0
    // without answers. Against the cells shown rather than the rows' averages, so that only the
    // slowest spans are red, not every span above its row's average.
    double RttScale() const;
};

// Seconds of a slot that reads well on an axis and in a report: the smallest of 1, 2, 5, 10, 20,
// 30 s, 1, 2, 5, 10 min, 20 min, 40 min, ... (doubling on) that covers [0, length] with at most
// maxSlots slots, and is at least `finest` (the finest width kept for the run's start).
double TimelineSlotWidth(double length, int maxSlots, double finest);
// The slots of `width` seconds from 0 that cover [0, length].
int TimelineSlotCount(double length, double width);

// Local wall-clock time of a point of the run as "HH:MM:SS".
CString TimelineClockText(const CNTimeStamp& start, double seconds);

// A count and its unit: "1 second", "2 outcomes" (the unit takes an "s" unless the count is 1).
CString TimelineCountText(DWORD count, const wchar_t* unit);
// A span in the largest whole unit: "1 second", "10 seconds", "5 minutes", "2 hours".
CString TimelineSpanText(double seconds);
