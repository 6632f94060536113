// STimelineEvent: what the timeline finds in a run: loss episodes and changes of the route.
#pragma once

#include "foundation/base_types.h"

enum ETimelineEventKind {
    kTimelineLossEpisode = 0,     // hops lost probes from start to end
    kTimelineResponderChange = 1, // another router answers at a hop
    kTimelineSplitAppears = 2,    // a hop has more responders than before
    kTimelineSplitGoes = 3,       // a hop has fewer responders than before
};

// Hop numbers (TTLs 0 to 255) as a set of bits.
struct STimelineHopSet {
    DWORD bits[8] = {};

    void Add(DWORD hop) {
        if (hop < 256)
            bits[hop / 32] |= 1u << (hop % 32);
    }
    bool Has(DWORD hop) const { return hop < 256 && (bits[hop / 32] & (1u << (hop % 32))) != 0; }
    bool IsEmpty() const;
    // The hops as ranges, "3-4, 7"; empty for no hop.
    CString Text() const;
};

// The responders seen at one hop, in increasing address order (network byte order values).
struct STimelineResponders {
    static constexpr int kMax = 8; // more are not told apart
    DWORD addresses[kMax] = {};
    int count = 0;

    // Adds an address, keeping the order; FALSE when it was there or no room was left.
    bool Add(DWORD address);
    bool Has(DWORD address) const;
    bool operator==(const STimelineResponders& other) const;
    bool operator!=(const STimelineResponders& other) const { return !(*this == other); }
    // Every address of this set is in other.
    bool IsSubsetOf(const STimelineResponders& other) const;
    // The dotted addresses joined by ", ".
    CString Text() const;
};

struct STimelineEvent {
    ETimelineEventKind kind = kTimelineLossEpisode;
    double start = 0.0; // seconds since the run's start
    double end = 0.0;   // a loss episode's end (the end of its last lossy span); = start otherwise
    bool ongoing = false;       // a loss episode that the newest data still shows
    STimelineHopSet hops;       // the hops that lost probes, or the hop whose responders changed
    DWORD worstHop = 0;         // loss episode: the hop with the largest share of lost probes
    double worstLoss = 0.0;     // and that share over the episode, 0 to 1
    STimelineResponders before; // route changes: the responders before and after
    STimelineResponders after;
};

// What an event is in a few words: "Loss episode", "Responder changed", "Route split appears",
// "Route split ends".
CString TimelineEventName(ETimelineEventKind kind);
// Its particulars: "worst loss 100% at TTL 3" for an episode, "198.51.100.1 -> 198.51.100.2"
// (the responders before and after) for a route change.
CString TimelineEventDetails(const STimelineEvent& event);
