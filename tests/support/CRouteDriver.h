// CRouteDriver: drives a scripted run probe by probe through a model of a route, on the scripted
// clock, with the answers arriving after their round trips between the sends.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "support/SScriptedRun.h"

// What becomes of one probe: an answer of an ICMP type (0 echo reply, 11 time exceeded, 3
// unreachable with its code) from a source after a delay, or none (the probe is lost).
struct SRouteAnswer {
    bool answered = false;
    BYTE type = 11;
    BYTE code = 0;
    DWORD source = 0;
    double delaySeconds = 0.001;
};

// The run must have begun (BeginRun) without its ping worker: the driver is the ping worker.
// Single-threaded; the answers waiting for their time are kept in a heap reserved up front.
class CRouteDriver {
public:
    using Model = std::function<SRouteAnswer(DWORD hop, std::uint64_t probe)>;

    CRouteDriver(SScriptedRun& run, Model model);

    // Sends count probes at the engine's own schedule; answers whose time has come arrive
    // before each send, in the order of their arrival.
    void Send(std::uint64_t count);
    // Lets the clock run past the time-out: every answer still on its way arrives, every probe
    // still waiting times out.
    void Finish();
    std::uint64_t GetSent() const { return m_sent; }
    std::uint64_t GetAnswered() const { return m_answered; }

private:
    struct SPending {
        std::int64_t at;
        DWORD slot;
        SRouteAnswer answer;
    };
    void DeliverUntil(std::int64_t now);

    SScriptedRun& m_run;
    Model m_model;
    std::vector<SPending> m_heap;
    std::uint64_t m_sent = 0;
    std::uint64_t m_answered = 0;
};
