// CFakeHopwatchNetwork: a scripted network for engine tests, with a driven clock.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "engine/CHopwatchNetwork.h"

// The clock only moves when a test advances it, when a wait ends at the arrival of a queued
// datagram, or when a wait for data times out (the wait then "takes" its whole duration). Every
// wire operation and the start of a worker thread can be scripted to fail. Thread-safe, so that
// the engine's worker threads can run against it.
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

    DWORD Open() override;
    DWORD Close() override;
    DWORD SetTtl(int ttl) override;
    DWORD SendTo(const BYTE* message, int length, DWORD address) override;
    int WaitReadable(long seconds, long microseconds, DWORD& error) override;
    // Like Winsock, a datagram larger than the buffer fills it, is dropped and fails with 10040.
    DWORD ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source) override;
    // The scripted socket never blocks: ReceiveFrom already says when nothing has arrived.
    DWORD ReceiveQueued(BYTE* buffer, int capacity, int& received, DWORD& source) override {
        return ReceiveFrom(buffer, capacity, received, source);
    }
    std::int64_t Now() override;
    std::int64_t Frequency() override { return frequency; }
    DWORD ProcessId() override { return processId; }
    BOOL ResolveHost(const CString& text, DWORD& address, DWORD& error) override;
    BOOL LocalAddress(DWORD& address) override;
    // A scripted failure sets the thread's last error to the code and returns FALSE.
    BOOL StartWorker(CNWorkerThread& worker) override;

    void Advance(std::int64_t ticks);
    void SetNow(std::int64_t ticks);
    // A datagram (IP header included) that arrives now, or at a given tick count.
    void QueueDatagram(const std::vector<BYTE>& datagram, DWORD source);
    void QueueDatagramAt(const std::vector<BYTE>& datagram, DWORD source, std::int64_t arrival);
    std::vector<SSent> Sent();

    // Settings: write them before a worker thread runs against the network.
    std::int64_t frequency = 1000000; // one tick per microsecond
    DWORD processId = 0x00051234;
    DWORD target = 0;       // network byte order; 0 = the host does not resolve
    DWORD local = 0;        // network byte order; 0 = no local address
    DWORD openError = 0;    // returned by Open when not 0
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
    // Sent() keeps every send; runs of millions of probes turn that off.
    bool keepSent = true;

    // Observations.
    CString resolvedText; // the text ResolveHost was asked about
    int waits = 0;        // WaitReadable calls
    int truncated = 0;    // datagrams dropped as larger than the buffer
    long lastWaitMicroseconds = -1;

private:
    struct SDatagram {
        std::vector<BYTE> bytes;
        DWORD source;
        std::int64_t arrival;
    };

    static bool Fails(SFault& fault);
    void Insert(SDatagram datagram);
    void AnswerLocked(const SSent& sent);

    std::mutex m_mutex;
    std::int64_t m_now = 1000000000;
    int m_ttl = 0;
    bool m_open = false;
    std::vector<SSent> m_sent;
    std::vector<SDatagram> m_inbox; // in order of arrival
};
