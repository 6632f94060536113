// CHopwatchHist4Show: one row's history window for drawing, with its window statistics.
#pragma once

#include "engine/CHopwatchHistory.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"

// The window values that are not reply times.
constexpr double kHistShowAwaiting = -1.0; // sent, still awaiting its reply
constexpr double kHistShowNothing = -2.0;  // lost, another host answered, or no usable time

// One row's history prepared for drawing: values[0] is the newest outcome; > 0 a reply time in
// seconds, -1.0 awaiting a reply, -2.0 nothing to show. Used by the user-interface thread only.
class CHopwatchHist4Show {
public:
    CHopwatchHist4Show();
    virtual ~CHopwatchHist4Show() = default;

    // Rebuilds the window of min(wanted, used) newest outcomes and its min/max/avg (NaN when no
    // reply in the window). Returns 1 when rebuilt, 0 when neither the history nor the window
    // length changed. Call with the data model's lock held (CHopwatchData::GetRowHistory does).
    int Build(const CHopwatchHistory& history);

    DWORD version;
    int wanted; // how many outcomes the drawing wants (graph width in pixels)
    double min;
    double max;
    double avg;
    NArray<double> values;
};
