// CHopwatchSystemNetwork: the platform's raw ICMP socket or its way to probe without rights,
// performance counter and resolver.
#include "engine/CHopwatchSystemNetwork.h"

#include "engine/CNInetHost.h"
#include "engine/inet_address.h"
#include "platform/icmp_socket.h"
#include "platform/last_error.h"
#include "platform/perf_counter.h"
#include "platform/process.h"

CHopwatchSystemNetwork::~CHopwatchSystemNetwork() {
    Close();
}

DWORD CHopwatchSystemNetwork::Open(EHopwatchProbeMethod method, DWORD timeoutMs,
                                   DWORD maxOutstanding) {
    Close();
    m_method = method == UnprivilegedMethod() ? method : kProbeRaw;
    if (Unprivileged())
        return m_unprivileged.Open(timeoutMs, maxOutstanding);
    return PlatformIcmpOpen(m_socket);
}

DWORD CHopwatchSystemNetwork::Close() {
    const DWORD unprivileged = m_unprivileged.Close();
    if (m_socket == kInvalidPlatformSocket)
        return unprivileged;
    DWORD error = PlatformIcmpClose(m_socket);
    m_socket = kInvalidPlatformSocket;
    return error;
}

DWORD CHopwatchSystemNetwork::SetTtl(int ttl) {
    if (Unprivileged())
        return m_unprivileged.SetTtl(ttl);
    return PlatformIcmpSetTtl(m_socket, ttl);
}

DWORD CHopwatchSystemNetwork::SendTo(const BYTE* message, int length, DWORD address) {
    if (Unprivileged())
        return m_unprivileged.SendTo(message, length, address);
    return PlatformIcmpSendTo(m_socket, message, length, address);
}

int CHopwatchSystemNetwork::WaitReadable(long seconds, long microseconds, DWORD& error) {
    if (Unprivileged())
        return m_unprivileged.WaitReadable(seconds, microseconds, error);
    return PlatformIcmpWaitReadable(m_socket, seconds, microseconds, error);
}

// Both ways give the kernel's receive time where the system stamps answers; else the engine's
// clock just before the read stands, as it came in.
DWORD CHopwatchSystemNetwork::ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source,
                                          std::int64_t& receiveTime) {
    if (Unprivileged())
        return m_unprivileged.Receive(buffer, capacity, received, source, receiveTime);
    return PlatformIcmpReceiveFrom(m_socket, buffer, capacity, received, source, receiveTime);
}

DWORD CHopwatchSystemNetwork::ReceiveQueued(BYTE* buffer, int capacity, int& received,
                                            DWORD& source, std::int64_t& receiveTime) {
    static_assert(kNothingQueued == kPlatformIcmpNothingQueued);
    static_assert(kNothingQueued == CNUnprivilegedIcmp::kNothingQueued);
    if (Unprivileged())
        return m_unprivileged.Receive(buffer, capacity, received, source, receiveTime);
    return PlatformIcmpReceiveQueued(m_socket, buffer, capacity, received, source, receiveTime);
}

std::int64_t CHopwatchSystemNetwork::Now() {
    return PlatformPerfCounter();
}

std::int64_t CHopwatchSystemNetwork::Frequency() {
    return PlatformPerfFrequency();
}

DWORD CHopwatchSystemNetwork::ProcessId() {
    return PlatformProcessId();
}

WORD CHopwatchSystemNetwork::ProbeIdentifier() {
    const WORD own = CHopwatchNetwork::ProbeIdentifier();
    return Unprivileged() ? m_unprivileged.Identifier(own) : own;
}

// The system's resolver alone, nothing of this object: a look-up abandoned in a stop may outlive
// it.
HopwatchHostResolver CHopwatchSystemNetwork::HostResolver() {
    return [](const CString& text, DWORD& address, DWORD& error) -> BOOL {
        CNInetHost host(text);
        if (host.GetAddressCount() == 0) {
            error = GetLastSystemError();
            return FALSE;
        }
        address = host.GetAddress(0);
        return TRUE;
    };
}

BOOL CHopwatchSystemNetwork::LocalAddress(DWORD& address) {
    return GetLocalAddress(&address);
}
