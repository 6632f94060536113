// The way to probe without administrator or root rights: ICMP datagram sockets on Linux, the
// system's ICMP service on Windows.
#pragma once

#include <cstdint>

#include "foundation/base_types.h"

// Which way this system has.
enum EUnprivilegedIcmpKind {
    kUnprivilegedIcmpDatagram, // socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP), where the system allows
    kUnprivilegedIcmpService,  // IcmpCreateFile / IcmpSendEcho2
};
EUnprivilegedIcmpKind PlatformUnprivilegedIcmpKind();

// Sends echo requests and hands back their answers in the raw socket's shape (icmp_answer.h),
// each with its own receive time on the performance counter. Open and Close run while no other
// thread uses the object; every other operation runs on the one thread that probes (on Windows
// the answers come as asynchronous procedure calls to that thread while it waits in WaitReadable,
// so it must be the thread that sends). Operations return 0 or the system's error code.
class CNUnprivilegedIcmp {
public:
    CNUnprivilegedIcmp() = default;
    ~CNUnprivilegedIcmp() { Close(); }
    CNUnprivilegedIcmp(const CNUnprivilegedIcmp&) = delete;
    CNUnprivilegedIcmp& operator=(const CNUnprivilegedIcmp&) = delete;

    // Opens the socket or the service. timeoutMs: how long an answer is waited for (the service
    // ends its requests then); maxOutstanding: how many probes may be out at once (the service
    // needs a buffer for each, all of them made here).
    DWORD Open(DWORD timeoutMs, DWORD maxOutstanding);
    DWORD Close();
    // The identifier the answers to our probes carry, valid after Open: a datagram socket's own,
    // which the kernel writes into every request it sends; the service gives back the probe's.
    WORD Identifier(WORD probeIdentifier) const;
    // Time-to-live of the following sends.
    DWORD SetTtl(int ttl);
    // Sends the echo request `message` (as it would go out over the raw socket: header, then
    // data) to an address in network byte order.
    DWORD SendTo(const BYTE* message, int length, DWORD address);
    // Waits up to the time for an answer: 1 when one is there, 0 when none came, -1 with error.
    int WaitReadable(long seconds, long microseconds, DWORD& error);
    // Takes one answer that is already there, never waits: kNothingQueued when there is none.
    // The answer goes to buffer as the raw socket would deliver it, source gets its sender
    // (network byte order); receiveTime gets the counter ticks at which it arrived, taken by the
    // system where it can (the kernel's receive time, the moment of completion), else left as
    // the caller set it.
    DWORD Receive(BYTE* buffer, int capacity, int& received, DWORD& source,
                  std::int64_t& receiveTime);
    static constexpr DWORD kNothingQueued = 10035; // WSAEWOULDBLOCK, as the raw socket's

    struct SState; // what each system keeps while open

private:
    SState* m_state = nullptr;
};
