// CRecordingOutcomeCodec: probe outcomes as the few bytes each takes in a recording.
#pragma once

#include <cstdint>

#include "engine/hopwatch_outcome.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "recording/recording_bytes.h"

// Writer and reader each keep one, fed with the same outcomes in the same order, so that what
// the reader can tell from the records before (the next slot, the next hop, a probe's hop and
// send time, a hop's usual responder) the writer leaves out. A record's first byte is below
// 0x80: bits 0-2 the kind, bits 3-6 flags (docs/recording-format.md). Send times are kept in
// microseconds since the run's start; round trips in the run's counter ticks, so that a reader
// gets the very same double the engine counted. Hops are those of a route of at most 256.
// One thread at a time.
class CRecordingOutcomeCodec {
public:
    CRecordingOutcomeCodec() = default;

    // Forgets every outcome and takes the run's clock (frequency > 0). Allocates the tables the
    // first time and touches little of them afterwards; FALSE when the memory is not there.
    BOOL Reset(std::int64_t startTicks, std::int64_t frequency);
    // Appends the outcome's record (at most kMaxRecordBytes). Never allocates when out has room.
    void Encode(const SHopwatchOutcome& outcome, CRecordingBytesOut& out);
    // Reads the rest of a record whose first byte was first; false when it is malformed.
    bool Decode(BYTE first, CRecordingBytesIn& in, SHopwatchOutcome& outcome);

    static constexpr int kMaxRecordBytes = 32;

private:
    // The last sends, by slot number modulo the table's size.
    struct SSlot {
        std::uint64_t micro; // send time, microseconds since the start
        WORD hop;
        WORD slot;
        DWORD run; // the Reset that a send named this slot in; other values: not known
    };

    std::uint64_t Micro(std::int64_t ticks) const;
    std::int64_t Ticks(std::uint64_t micro) const;
    bool RememberedResponder(WORD hop, DWORD responder) const;
    void RememberResponder(WORD hop, DWORD responder);

    bool Known(const SSlot& slot, WORD number) const {
        return slot.run == m_run && slot.slot == number;
    }
    SSlot& Slot(WORD number) { return m_slots[number & (kRecentSends - 1)]; }
    // Answers come within the time-out, so a few thousand sends back is as far as they reach;
    // an older one is given in full. A small table stays in the cache and in little memory.
    static constexpr int kRecentSends = 4096;

    NArray<SSlot> m_slots;      // kRecentSends; Reset only moves m_run on
    NArray<DWORD> m_responders; // per hop, the responder of its last reply
    DWORD m_run = 0;
    std::int64_t m_startTicks = 0;
    std::int64_t m_frequency = 1;
    WORD m_lastSlot = 0xFFFF;
    WORD m_lastHop = 0xFFFF;
    std::uint64_t m_lastMicro = 0;
};
