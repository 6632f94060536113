// The engine's view of the wire and the clock, replaceable so tests drive it without a network.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/probe_method.h"
#include "foundation/CNWorkerThread.h"
#include "foundation/base_types.h"
#include "platform/process.h"

// The way to probe that needs no administrator or root rights on this system: kProbeDatagram
// (ICMP datagram sockets, Linux) or kProbeSystem (the system's ICMP service, Windows).
EHopwatchProbeMethod SystemUnprivilegedProbeMethod();

// First IPv4 address (network byte order) of a host text; FALSE with the socket error code.
using HopwatchHostResolver = std::function<BOOL(const CString& text, DWORD& address, DWORD& error)>;

// ICMP probing (a raw socket, or a way that needs no rights), performance counter, process id,
// name services, precise waits and thread start as the engine uses them. Every way to probe
// reads its answers back in the raw socket's shape: the datagram with its IP header.
// One object serves one CHopwatchData; only the ping worker calls the socket operations, and Start
// and Stop (user-interface thread) call Open and Close while the ping worker is not running.
class CHopwatchNetwork {
public:
    virtual ~CHopwatchNetwork() = default;

    // Opens the wire of a way to probe: kProbeRaw the raw ICMP socket, or the way of
    // UnprivilegedMethod. timeoutMs is the run's probe time-out and maxOutstanding the most
    // probes it keeps out at once (the system's ICMP service sizes its buffers by them). 0 or the
    // error code.
    virtual DWORD Open(EHopwatchProbeMethod method, DWORD timeoutMs, DWORD maxOutstanding) = 0;
    // Closes the wire if open. 0 or the error code.
    virtual DWORD Close() = 0;
    // The way that needs no administrator or root rights here (SystemUnprivilegedProbeMethod).
    virtual EHopwatchProbeMethod UnprivilegedMethod() { return SystemUnprivilegedProbeMethod(); }
    // TRUE when Open failed because this user may not open a raw socket.
    virtual BOOL IsAccessDenied(DWORD error);
    // Sets the time-to-live of the following sends. 0 or the socket error code.
    virtual DWORD SetTtl(int ttl) = 0;
    // Sends one ICMP message to an IPv4 address (network byte order). 0 or the socket error code.
    virtual DWORD SendTo(const BYTE* message, int length, DWORD address) = 0;
    // Waits up to seconds + microseconds for the socket to become readable: 1 readable, 0 time-out,
    // any other count as the select result; -1 = failure with the code in error.
    virtual int WaitReadable(long seconds, long microseconds, DWORD& error) = 0;
    // Reads one datagram, IP header included. 0 or the socket error code; kNothingQueued when
    // what made the wait end was no answer to read after all. receiveTime comes in as the
    // engine's clock just before the read; a wire that knows when the answer arrived (a
    // kernel's receive stamp, the completion of a request) puts that in instead.
    virtual DWORD ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source,
                              std::int64_t& receiveTime) = 0;
    // ReceiveFrom for a datagram that has already arrived; never waits: kNothingQueued when
    // none has. Lets one wake read every reply that is there.
    virtual DWORD ReceiveQueued(BYTE* buffer, int capacity, int& received, DWORD& source,
                                std::int64_t& receiveTime) = 0;
    static constexpr DWORD kNothingQueued = 10035; // WSAEWOULDBLOCK

    // Performance counter ticks and their frequency per second (0 when there is no counter).
    virtual std::int64_t Now() = 0;
    virtual std::int64_t Frequency() = 0;
    // This process id.
    virtual DWORD ProcessId() = 0;
    // Identifier carried back by the answers to every probe of the open wire: the low 16 bits of
    // this process id, which the probes carry; an ICMP datagram socket's own identifier, which
    // the kernel puts into every request instead.
    virtual WORD ProbeIdentifier() { return static_cast<WORD>(ProcessId() & 0xFFFF); }

    // The resolver of the target's text, asked for by the ping worker as each run starts. It runs
    // on a thread of its own that the ping worker abandons when the run stops first, so it may
    // still run after Close and after this object and the data object are gone: it holds what
    // it needs and touches nothing else but what lives as long as the process.
    virtual HopwatchHostResolver HostResolver() = 0;
    // This computer's address (network byte order); FALSE when none.
    virtual BOOL LocalAddress(DWORD& address) = 0;
    // Asks that the calling thread's timed waits end when due (1 ms timer resolution on
    // Windows, no timer slack on Linux) while a run is active, and gives that back: the ping
    // worker calls Begin as its run starts and End, when Begin succeeded, as it ends. Whatever
    // waits a path uses, its schedule then keeps its even spacing.
    virtual bool BeginPreciseWaits() { return PlatformBeginPreciseWaits(); }
    virtual void EndPreciseWaits() { PlatformEndPreciseWaits(); }

    // Starts one of the engine's worker threads (CNWorkerThread::Start: FALSE with the thread's
    // last error set). Part of the seam so that tests can refuse it, as a system out of threads
    // would. Called by Start on the user-interface thread.
    virtual BOOL StartWorker(CNWorkerThread& worker) { return worker.Start(); }
};
