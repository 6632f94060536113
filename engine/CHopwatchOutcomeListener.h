// CHopwatchOutcomeListener: what reads a run's probe outcomes, live or from a recording.
#pragma once

#include <cstdint>

#include "engine/hopwatch_outcome.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/base_types.h"

// Called on one thread at a time: the thread that drains the engine's outcome ring during a live
// run, or the reader of a recording. A listener that others read too (a window drawing from it)
// guards itself.
class CHopwatchOutcomeListener {
public:
    virtual ~CHopwatchOutcomeListener() = default;
    // A run begins: its clock, as CHopwatchData::GetRunClock gives it (the counter ticks at its
    // start, their frequency and the local wall-clock time then), so that an outcome's sendTime
    // maps to a wall-clock time. Forgets any earlier run.
    virtual void OnRunStart(std::int64_t startTicks, std::int64_t frequency,
                            const CNTimeStamp& startTime) = 0;
    // The next outcomes in the order the engine produced them; dropped counts those that were
    // lost before this batch because the ring was full.
    virtual void OnOutcomes(const SHopwatchOutcome* outcomes, DWORD count, DWORD dropped) = 0;
};
