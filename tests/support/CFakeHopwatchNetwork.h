// CFakeHopwatchNetwork: a scripted network for engine tests, with a driven clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/CHopwatchNetwork.h"
#include "platform/icmp_answer.h"

// The clock only moves when a test advances it, when a wait ends at the arrival of a queued
// datagram, or when a wait for data times out (the wait then "takes" its whole duration). Every
// wire operation and the start of a worker thread can be scripted to fail. Thread-safe, so that
// the engine's worker threads can run against it.
// The wire behaves as the way to probe that was opened (`method`): the raw socket delivers
// datagrams as queued; an ICMP datagram socket gets its answers as the kernel hands them over
// (echo replies without IP header, errors from the error queue, the socket's own identifier in
// every request sent) and the system's ICMP service as completed requests; both go through the
// real translation into the raw socket's shape and carry their arrival as receive time.
class CFakeHopwatchNetwork : public CHopwatchNetwork {
public:
    struct SSent {
        int ttl;
        DWORD destination;
        std::vector<BYTE> message;
        std::int64_t time; // the clock when it was sent
    };

    // A scripted failure of one operation: it succeeds `after` more times, then fails with code
    // `times` times (-1: every time from then on). A code of 0 never fails.
    struct SFault {
        DWORD code = 0;
        int after = 0;
        int times = -1;
    };

    DWORD Open(EHopwatchProbeMethod method, DWORD timeoutMs, DWORD maxOutstanding) override;
    DWORD Close() override;
    EHopwatchProbeMethod UnprivilegedMethod() override { return unprivilegedMethod; }
    // kAccessDenied only, whatever the system.
    BOOL IsAccessDenied(DWORD error) override { return error == kAccessDenied ? TRUE : FALSE; }
    WORD ProbeIdentifier() override;
    DWORD SetTtl(int ttl) override;
    DWORD SendTo(const BYTE* message, int length, DWORD address) override;
    int WaitReadable(long seconds, long microseconds, DWORD& error) override;
    // Like Winsock, a datagram larger than the buffer fills it, is dropped and fails with 10040.
    DWORD ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source,
                      std::int64_t& receiveTime) override;
    // The scripted socket never blocks: ReceiveFrom already says when nothing has arrived.
    DWORD ReceiveQueued(BYTE* buffer, int capacity, int& received, DWORD& source,
                        std::int64_t& receiveTime) override {
        return ReceiveFrom(buffer, capacity, received, source, receiveTime);
    }
    std::int64_t Now() override;
    std::int64_t Frequency() override { return frequency; }
    DWORD ProcessId() override { return processId; }
    // Resolves every text to target, or fails with resolveError when it is 0; the resolver keeps
    // copies of them, and of onResolve, as they were when it was asked for.
    HopwatchHostResolver HostResolver() override;
    BOOL LocalAddress(DWORD& address) override;
    // A scripted failure sets the thread's last error to the code and returns FALSE.
    BOOL StartWorker(CNWorkerThread& worker) override;
    // Counted; between Begin and End the waits end on preciseTicks instead of coarseTicks.
    bool BeginPreciseWaits() override;
    void EndPreciseWaits() override;

    void Advance(std::int64_t ticks);
    void SetNow(std::int64_t ticks);
    // A datagram (IP header included) that arrives now, or at a given tick count.
    void QueueDatagram(const std::vector<BYTE>& datagram, DWORD source);
    void QueueDatagramAt(const std::vector<BYTE>& datagram, DWORD source, std::int64_t arrival);
    // What an ICMP datagram socket reads at a given tick count: an echo reply (the ICMP message
    // without IP header, from source), or an error-queue entry of an ICMP type and code from the
    // router `source` that returns `message` (the request as sent).
    void QueueSocketReply(const std::vector<BYTE>& message, DWORD source, std::int64_t arrival);
    void QueueSocketError(BYTE type, BYTE code, const std::vector<BYTE>& message, DWORD source,
                          std::int64_t arrival, BYTE origin = kIcmpErrorOriginIcmp);
    // A request of the system's ICMP service that completes at a given tick count.
    void QueueServiceAnswer(const SIcmpServiceAnswer& answer, std::int64_t arrival);
    std::vector<SSent> Sent();

    // Settings: write them before a worker thread runs against the network.
    std::int64_t frequency = 1000000; // one tick per microsecond
    DWORD processId = 0x00051234;
    DWORD target = 0;                          // network byte order; 0 = the host does not resolve
    DWORD local = 0;                           // network byte order; 0 = no local address
    DWORD openError = 0;                       // returned by Open when not 0
    DWORD rawOpenError = 0;                    // returned by Open of the raw socket when not 0
    static constexpr DWORD kAccessDenied = 13; // what IsAccessDenied takes for a refusal
    // The way to probe that is open (set by Open; tests without Open may set it).
    EHopwatchProbeMethod method = kProbeRaw;
    EHopwatchProbeMethod unprivilegedMethod = kProbeDatagram;
    // The identifier an ICMP datagram socket puts into every request.
    WORD socketIdentifier = 0xBEEF;
    // What the last Open was given.
    DWORD openTimeoutMs = 0;
    DWORD openMaxOutstanding = 0;
    DWORD resolveError = 0; // reported when the host does not resolve
    SFault ttlFault;
    SFault sendFault;
    SFault waitFault;
    SFault receiveFault;
    SFault startFault; // StartWorker: the DNS worker starts first when lookups are on
    // A route that answers every probe by itself: route[k - 1] is the router k hops away; a
    // probe with a larger TTL reaches its destination, which answers with an echo reply. Each
    // hop adds hopDelay ticks to the round trip. Empty: nothing answers by itself.
    std::vector<DWORD> route;
    std::int64_t hopDelay = 1000;
    // Probes for which this returns true get no answer from the route (called with the
    // network's lock held: it must not call the network).
    std::function<bool(const SSent&)> silence;
    // Called on the sending thread after every recorded send, outside the network's lock.
    std::function<void(const SSent&)> onSend;
    // Called as a resolution begins, outside the network's lock (it may block, as a resolver
    // whose name server never answers does).
    std::function<void()> onResolve;
    // A coarse timer: when not 0, a wait that runs out ends at the next multiple of this many
    // ticks (as Windows waits end on the system's tick), of preciseTicks while precise waits are
    // on. A wait that ends at a datagram's arrival ends then, as before.
    std::int64_t coarseTicks = 0;
    std::int64_t preciseTicks = 0;
    // A steady inflow of foreign ICMP: when not 0, a datagram from elsewhere (an echo reply with
    // another identifier) is always waiting after the scripted ones, and reading it takes this
    // many ticks.
    std::int64_t floodTicks = 0;
    // Sent() keeps every send; runs of millions of probes turn that off.
    bool keepSent = true;

    // Observations.
    CString ResolvedText() const; // the text last resolved
    int waits = 0;                // WaitReadable calls
    int truncated = 0;            // datagrams dropped as larger than the buffer
    long lastWaitMicroseconds = -1;
    int preciseBegun = 0; // BeginPreciseWaits calls
    int preciseEnded = 0; // EndPreciseWaits calls
    int flooded = 0;      // foreign datagrams read from the flood

private:
    // Where the resolvers handed out note what they resolved: they may outlive the network.
    struct SResolveLog {
        std::mutex mutex;
        CString text;
    };
    const std::shared_ptr<SResolveLog> m_resolveLog = std::make_shared<SResolveLog>();
    // What the wire hands over: a raw datagram, a datagram socket's read (bytes: its ICMP
    // message) or a completed service request.
    enum class EShape { Raw, Socket, Service };
    struct SDatagram {
        std::vector<BYTE> bytes;
        DWORD source = 0;
        std::int64_t arrival = 0;
        EShape shape = EShape::Raw;
        bool errorQueue = false;
        BYTE origin = kIcmpErrorOriginIcmp;
        BYTE type = 0;
        BYTE code = 0;
        SIcmpServiceAnswer service;
    };

    static bool Fails(SFault& fault);
    static SDatagram Entry(const std::vector<BYTE>& bytes, DWORD source, std::int64_t arrival);
    void Insert(SDatagram datagram);
    void AnswerLocked(const SSent& sent);
    // The entry as the open wire hands it over, in the raw socket's shape: its length, 0 when
    // there is nothing to deliver.
    int Deliver(const SDatagram& datagram, BYTE* buffer, int capacity);
    DWORD ReceiveFlood(BYTE* buffer, int capacity, int& received, DWORD& source);
    DWORD ReceiveRaw(const SDatagram& datagram, BYTE* buffer, int capacity, int& received,
                     DWORD& source);

    std::mutex m_mutex;
    std::int64_t m_now = 1000000000;
    int m_ttl = 0;
    bool m_open = false;
    std::vector<SSent> m_sent;
    std::vector<SDatagram> m_inbox; // in order of arrival
};
