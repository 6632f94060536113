// CFakeHopwatchNetwork: a scripted network for engine tests, with a driven clock.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "engine/CHopwatchNetwork.h"

// The clock only moves when a test advances it or when a wait for data times out (the wait then
// "takes" its whole duration). Thread-safe so that a ping worker thread can run against it.
class CFakeHopwatchNetwork : public CHopwatchNetwork {
public:
    struct SSent {
        int ttl;
        DWORD destination;
        std::vector<BYTE> message;
    };

    DWORD Open() override;
    DWORD Close() override;
    DWORD SetTtl(int ttl) override;
    DWORD SendTo(const BYTE* message, int length, DWORD address) override;
    int WaitReadable(long seconds, long microseconds, DWORD& error) override;
    DWORD ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source) override;
    std::int64_t Now() override;
    std::int64_t Frequency() override { return frequency; }
    DWORD ProcessId() override { return processId; }
    BOOL ResolveHost(const CString& text, DWORD& address, DWORD& error) override;
    BOOL LocalAddress(DWORD& address) override;

    void Advance(std::int64_t ticks);
    void SetNow(std::int64_t ticks);
    void QueueDatagram(const std::vector<BYTE>& datagram, DWORD source);
    std::vector<SSent> Sent();

    std::int64_t frequency = 1000000; // one tick per microsecond
    DWORD processId = 0x00051234;
    DWORD target = 0;       // network byte order; 0 = the host does not resolve
    DWORD local = 0;        // network byte order; 0 = no local address
    DWORD openError = 0;    // returned by Open when not 0
    DWORD resolveError = 0; // reported when the host does not resolve
    CString resolvedText;   // the text ResolveHost was asked about
    int waits = 0;          // WaitReadable calls
    long lastWaitMicroseconds = -1;

private:
    std::mutex m_mutex;
    std::int64_t m_now = 1000000000;
    int m_ttl = 0;
    bool m_open = false;
    std::vector<SSent> m_sent;
    std::deque<std::pair<std::vector<BYTE>, DWORD>> m_inbox;
};
