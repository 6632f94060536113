// What became of each probe, as the engine hands it on to the run's recording and timeline.
#pragma once

#include <cstdint>

#include "foundation/base_types.h"

// The kinds of outcome. Every probe gives one kOutcomeSent when it goes out and, later, exactly one
// of reply, unreachable, lost or void; a late answer to a probe already counted lost adds one
// kOutcomeLate after its kOutcomeLost.
enum EHopwatchOutcomeKind : BYTE {
    kOutcomeSent = 1,        // the probe went out
    kOutcomeReply = 2,       // answered with a round-trip time by responder
    kOutcomeUnreachable = 3, // ended by destination-unreachable `code`; no time, no responder
    kOutcomeLost = 4,        // no answer within the time-out: counted lost at its hop
    kOutcomeLate = 5,        // an answer after the time-out: a reply (rtt, responder) undoes
                             // the loss; an unreachable one (code, NaN rtt) leaves it counted
    kOutcomeVoid = 6,        // ended without counting: its hop lies beyond the route's end
};

// One outcome: a plain 32-byte value, copied through a ring that is sized at run start.
struct SHopwatchOutcome {
    std::int64_t sendTime = 0; // the probe's send time in the engine's counter ticks
    double rtt = 0.0;          // seconds for a reply or a late reply; NaN otherwise
    DWORD responder = 0;       // network byte order; 0 when the outcome names none
    WORD hop = 0;              // the probe's hop number (its TTL; 0 = this computer)
    WORD slot = 0;             // its slot, which is also its ICMP sequence number
    BYTE kind = 0;             // EHopwatchOutcomeKind
    BYTE code = 0;             // the destination-unreachable code (unreachable, late)
};
