// A simulated day over 30 hops for the timeline's benchmarks: every probe's outcome on a scripted
// clock, with loss episodes, a changed responder and a split that comes and goes.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "results/CHopwatchRecordRows.h"
#include "engine/CHopwatchOutcomeListener.h"

constexpr int kTimelineDayHops = 30;
constexpr std::int64_t kTimelineDaySeconds = 24 * 3600;

// The address of hop h (1 to 30), 10.1.0.h, or of its second responder, 10.2.0.h, in network
// byte order on a little-endian machine.
inline DWORD TimelineDayRouter(DWORD hop, bool other = false) {
    return 10u | (other ? 2u : 1u) << 8 | hop << 24;
}

// Feeds a run of `seconds` (a day by default) over kTimelineDayHops hops, one probe a second per
// hop, as the engine hands outcomes on: in batches of 1024, answers at once, losses when their 5 s
// time-out ends.
inline void SimulateTimelineDay(CHopwatchOutcomeListener& model,
                                std::int64_t seconds = kTimelineDaySeconds) {
    constexpr std::int64_t kFrequency = 10000000, kStart = 1000000000;
    model.OnRunStart(kStart, kFrequency, CNTimeStamp(2026, 3, 1, 8, 0, 0));
    std::vector<SHopwatchOutcome> batch;
    std::vector<SHopwatchOutcome> pending;
    batch.reserve(1024);
    std::uint32_t random = 12345;
    auto flush = [&] {
        model.OnOutcomes(batch.data(), static_cast<DWORD>(batch.size()), 0);
        batch.clear();
    };
    auto push = [&](const SHopwatchOutcome& outcome) {
        batch.push_back(outcome);
        if (batch.size() == 1024)
            flush();
    };
    for (std::int64_t s = 0; s < seconds; ++s) {
        for (DWORD hop = 1; hop <= kTimelineDayHops; ++hop) {
            SHopwatchOutcome outcome;
            outcome.hop = static_cast<WORD>(hop);
            outcome.sendTime = kStart + s * kFrequency + hop * (kFrequency / kTimelineDayHops);
            outcome.kind = kOutcomeSent;
            outcome.rtt = NAN;
            push(outcome);
            random = random * 1664525u + 1013904223u;
            // Ten minutes out behind hop 12 at 3 h, two minutes behind hop 20 at 15 h, and a
            // probe in two hundred lost anywhere.
            const bool lost = (s >= 3 * 3600 && s < 3 * 3600 + 600 && hop >= 12) ||
                              (s >= 15 * 3600 && s < 15 * 3600 + 120 && hop >= 20) ||
                              random % 200 == 0;
            if (lost) {
                outcome.kind = kOutcomeLost;
                pending.push_back(outcome);
            } else {
                // Hop 8 changes its router at 6 h; hop 14 splits from 9 h to 11 h.
                const bool other = (hop == 8 && s >= 6 * 3600) ||
                                   (hop == 14 && s >= 9 * 3600 && s < 11 * 3600 && s % 2 == 1);
                outcome.kind = kOutcomeReply;
                outcome.responder = TimelineDayRouter(hop, other);
                outcome.rtt = 0.0005 * hop + 0.001 * ((random >> 8) % 100) / 100.0;
                push(outcome);
            }
        }
        while (!pending.empty() &&
               pending.front().sendTime + 5 * kFrequency <= kStart + s * kFrequency) {
            push(pending.front());
            pending.erase(pending.begin());
        }
    }
    for (const SHopwatchOutcome& outcome : pending)
        push(outcome);
    flush();
}

// The list's rows of the simulated route: this computer and the 30 hops, plus hop 14's two
// responders as alternatives under it.
inline void FillTimelineDayRows(CHopwatchRecordRows& rows) {
    rows.SetRowCount(kTimelineDayHops + 3);
    int r = 0;
    for (DWORD hop = 0; hop <= kTimelineDayHops; ++hop) {
        rows.Host(r).ttl = hop;
        rows.Host(r++).address = hop == 14 ? 0 : TimelineDayRouter(hop);
        if (hop == 14) {
            rows.Host(r).ttl = 0;
            rows.Host(r++).address = TimelineDayRouter(14);
            rows.Host(r).ttl = 0;
            rows.Host(r++).address = TimelineDayRouter(14, true);
        }
    }
    rows.BumpRowsVersion();
}
