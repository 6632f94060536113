// CHopwatchOutcomeRing: a fixed ring that hands probe outcomes from the engine to one reader.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/hopwatch_outcome.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"

// One writer at a time (the engine writes with its data lock held) and one reader thread. The
// storage is made by Reset at run start, so that writing never allocates or blocks: when the
// reader falls behind, outcomes that do not fit are dropped and counted, never lost silently.
class CHopwatchOutcomeRing {
public:
    CHopwatchOutcomeRing() = default;
    CHopwatchOutcomeRing(const CHopwatchOutcomeRing&) = delete;
    CHopwatchOutcomeRing& operator=(const CHopwatchOutcomeRing&) = delete;

    // Empties the ring and sizes it for capacity outcomes, rounded up to a power of two (at most
    // 2^24); 0 turns it off, so that Push does nothing. Neither the writer nor the reader may be
    // running. FALSE when the memory is not there (the ring is then off).
    BOOL Reset(DWORD capacity);
    DWORD GetCapacity() const { return m_mask == 0 ? 0 : m_mask + 1; }

    // Writer: adds one outcome, or counts it dropped when the ring is full.
    void Push(const SHopwatchOutcome& outcome);
    // Reader: copies up to max outcomes in the order they were pushed and returns how many;
    // dropped gets the number of outcomes dropped since the previous Read (and that count
    // starts again from 0).
    DWORD Read(SHopwatchOutcome* out, DWORD max, DWORD& dropped);

private:
    NArray<SHopwatchOutcome> m_items;
    DWORD m_mask = 0; // capacity - 1; 0 = off
    std::atomic<std::uint64_t> m_written{0};
    std::atomic<std::uint64_t> m_read{0};
    std::atomic<DWORD> m_dropped{0};
};
