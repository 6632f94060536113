// The resolutions the timeline keeps per lane: widths, ring sizes and where each sits in a lane.
#pragma once

// One level of a lane: buckets `width` seconds wide, `capacity` of them, starting at `offset`
// in the lane's array of buckets.
struct STimelineLevel {
    double width;
    int capacity;
    int offset;
};

// Levels 0 to 2 are rings over the newest times; level 3 starts at the run's start and doubles
// its width whenever the run outgrows it (CHopwatchTimeline.h says why and what it costs).
inline constexpr STimelineLevel kTimelineLevels[4] = {
    {1.0, 900, 0},
    {10.0, 720, 900},
    {60.0, 1440, 1620},
    {600.0, 576, 3060},
};
inline constexpr int kTimelineTopLevel = 3;
// The level whose columns the event finder reads.
inline constexpr int kTimelineEventLevel = 1;
// Buckets per lane, all levels together.
inline constexpr int kTimelineLaneBuckets = 3636;
