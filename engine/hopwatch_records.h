// Records of the probing engine: one responder per hop or alternative, one probe slot, column
// maxima.
#pragma once

#include <bit>
#include <cstdint>

#include "foundation/base_types.h"

// All ones stands for "none" in addresses, slot indices and chain links.
constexpr DWORD kHopwatchNone = 0xFFFFFFFFu;
// A row index entry with this bit set names an alternative record; without it, a hop number.
constexpr DWORD kHopwatchAltRowFlag = 0x10000000u;
// Number of probe slots; the slot index is the ICMP sequence number.
constexpr DWORD kHopwatchSlotCount = 65536;
// Number of alternative records of a run; responders beyond them count in their hop's aggregate.
constexpr DWORD kHopwatchAlternativeRecords = 128;
// Name shown while a reverse lookup of a record's address is pending (two leading blanks).
inline constexpr const wchar_t* kHopwatchLookingUp = L"  --- looking up ---";

// Row status; also the index of the row's icon.
enum EHopwatchImage : DWORD {
    kImageAnswering = 0,   // hop answering
    kImageSplit = 1,       // aggregate row of a hop where the route splits
    kImageAlternative = 2, // alternative responder of a split hop
    kImageTarget = 3,      // the target answered here
    kImageNoAnswer = 4,    // no answer yet
    kImageLocal = 5,       // this computer: address known before any answer
};

// Probe slot states.
enum EHopwatchSlotState : DWORD {
    kSlotFree = 0,
    kSlotTaken = 1,       // being built and sent
    kSlotPending = 2,     // sent, waiting for its answer
    kSlotAnswered = 3,    // answered with a round-trip time
    kSlotUnreachable = 4, // answered by destination-unreachable
    kSlotTimedOut = 5,
};

// One responder: a primary hop record or an alternative record of a split hop.
struct SHopwatchHost {
    DWORD version = 0;             // change counter; readers compare it with their last copy
    DWORD ttl = 0;                 // hop number (0 = this computer); 0 in alternative records
    DWORD image = kImageNoAnswer;  // EHopwatchImage
    DWORD address = kHopwatchNone; // network byte order; all ones = unknown, 0 = no single address
    CString name;                  // host name, lookup marker or "* N alternative routes *"
    CString note;         // last destination-unreachable text; empty after an ordinary reply
    DWORD sent = 0;       // probes sent (primary records only)
    DWORD received = 0;   // replies with a round-trip time
    DWORD lost = 0;       // timed out or unreachable (primary records only)
    double lastRtt = 0.0; // seconds; NaN before the first reply
    double minRtt = 0.0;  // DBL_MAX before the first reply
    double sumRtt = 0.0;  // average = sumRtt / received
    double maxRtt = 0.0;  // -DBL_MAX before the first reply
    // Spread of the round-trip times, kept as the replies come so that a run of any length
    // needs no storage per probe: the sum of squared differences from the running mean
    // (Welford's method) and the sum of absolute differences of consecutive replies.
    double squaredDeviations = 0.0;
    double jitterSum = 0.0;
    DWORD nextAlternative = kHopwatchNone; // next record of this hop's chain; all ones = end
};

// One probe slot.
struct SHopwatchPing {
    DWORD hop = kHopwatchNone; // hop number the probe went to; all ones = none
    DWORD state = kSlotFree;   // EHopwatchSlotState
    std::int64_t time = 0;     // pending: send tick count; answered: round trip in ticks
    DWORD prevPending = kHopwatchNone;
    DWORD nextPending = kHopwatchNone;
};

// Largest values of the hop records in use, for sizing the list's columns.
struct SHopwatchColumnMaxima {
    DWORD version = 0; // the data version they were taken at
    DWORD sent = 0;
    DWORD received = 0;
    DWORD lost = 0;
    double lastRtt = 0.0; // over records with replies
    double minRtt = 0.0;  // over records with a minimum
    double avgRtt = 0.0;  // over records with replies
    double maxRtt = 0.0;
};

// Converts an IPv4 address between network byte order (as in records and on the wire) and host
// byte order (the engine's own target and local addresses); the conversion is its own inverse.
inline DWORD HopwatchSwapOrder(DWORD address) {
    if constexpr (std::endian::native == std::endian::big)
        return address;
    const std::uint32_t a = static_cast<std::uint32_t>(address);
    return static_cast<DWORD>((a >> 24) | ((a >> 8) & 0xFF00u) | ((a << 8) & 0xFF0000u) |
                              (a << 24));
}
