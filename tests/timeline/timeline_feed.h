// Outcomes on a scripted clock for the timeline's tests: a run of hops whose probes are answered,
// lost or refused as a script says.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "support/test_datagrams.h"
#include "timeline/CHopwatchTimeline.h"

// The clock runs at a million ticks a second from kFeedStart; every second each hop gets one
// probe, sent hop/100 s after the second begins.
class CTimelineFeed {
public:
    static constexpr std::int64_t kFrequency = 1000000;
    static constexpr std::int64_t kFeedStart = 5000000000;

    // What became of a probe to hop sent at a second of the run.
    enum EFate { kAnswer, kLose, kRefuse, kNothing };
    struct SFate {
        EFate fate = kAnswer;
        DWORD responder = 0;
        double rtt = 0.010;
    };
    using FateFunction = std::function<SFate(DWORD hop, std::int64_t second)>;

    explicit CTimelineFeed(CHopwatchTimeline& model, const CNTimeStamp& start = CNTimeStamp())
        : m_model(model) {
        model.OnRunStart(kFeedStart, kFrequency, start);
    }

    static std::int64_t Ticks(double seconds) {
        return kFeedStart + static_cast<std::int64_t>(std::llround(seconds * kFrequency));
    }
    static SHopwatchOutcome Make(EHopwatchOutcomeKind kind, DWORD hop, double seconds,
                                 double rtt = NAN, DWORD responder = 0) {
        SHopwatchOutcome outcome;
        outcome.kind = kind;
        outcome.hop = static_cast<WORD>(hop);
        outcome.sendTime = Ticks(seconds);
        outcome.rtt = rtt;
        outcome.responder = responder;
        return outcome;
    }
    void Push(const SHopwatchOutcome& outcome) {
        m_batch.push_back(outcome);
        if (m_batch.size() >= 4096)
            Flush();
    }
    void Flush(DWORD dropped = 0) {
        m_model.OnOutcomes(m_batch.data(), static_cast<DWORD>(m_batch.size()), dropped);
        m_batch.clear();
    }

    // Seconds [from, to) of a run over hops 1 to hops, a probe to each hop every `step` seconds,
    // in the engine's order: every send, then its answer at once, or its loss five seconds later
    // (a lost probe's outcome comes when its time-out runs out, after younger probes' answers).
    void Run(std::int64_t from, std::int64_t to, DWORD hops, const FateFunction& fate,
             std::int64_t step = 1) {
        for (std::int64_t second = from; second < to; second += step) {
            for (DWORD hop = 1; hop <= hops; ++hop) {
                const double sent = static_cast<double>(second) + hop / 100.0;
                Push(Make(kOutcomeSent, hop, sent));
                const SFate f = fate(hop, second);
                if (f.fate == kAnswer)
                    Push(Make(kOutcomeReply, hop, sent, f.rtt, f.responder));
                else if (f.fate == kRefuse)
                    Push(Make(kOutcomeUnreachable, hop, sent, NAN, f.responder));
                else if (f.fate == kLose)
                    m_pendingLosses.push_back(Make(kOutcomeLost, hop, sent));
            }
            while (!m_pendingLosses.empty() &&
                   m_pendingLosses.front().sendTime <= Ticks(static_cast<double>(second) - 5.0)) {
                Push(m_pendingLosses.front());
                m_pendingLosses.erase(m_pendingLosses.begin());
            }
        }
        for (const SHopwatchOutcome& loss : m_pendingLosses)
            Push(loss);
        m_pendingLosses.clear();
        Flush();
    }

    // The responder of hop h in the scripted route: 192.0.2.h.
    static DWORD Router(DWORD hop) { return TestIp(192, 0, 2, static_cast<BYTE>(hop)); }

private:
    CHopwatchTimeline& m_model;
    std::vector<SHopwatchOutcome> m_batch;
    std::vector<SHopwatchOutcome> m_pendingLosses;
};
