// CHopwatchSystemNetwork: the platform's raw ICMP socket, performance counter and resolver.
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

DWORD CHopwatchSystemNetwork::Open() {
    Close();
    return PlatformIcmpOpen(m_socket);
}

DWORD CHopwatchSystemNetwork::Close() {
    if (m_socket == kInvalidPlatformSocket)
        return 0;
    DWORD error = PlatformIcmpClose(m_socket);
    m_socket = kInvalidPlatformSocket;
    return error;
}

DWORD CHopwatchSystemNetwork::SetTtl(int ttl) {
    return PlatformIcmpSetTtl(m_socket, ttl);
}

DWORD CHopwatchSystemNetwork::SendTo(const BYTE* message, int length, DWORD address) {
    return PlatformIcmpSendTo(m_socket, message, length, address);
}

int CHopwatchSystemNetwork::WaitReadable(long seconds, long microseconds, DWORD& error) {
    return PlatformIcmpWaitReadable(m_socket, seconds, microseconds, error);
}

DWORD CHopwatchSystemNetwork::ReceiveFrom(BYTE* buffer, int capacity, int& received,
                                          DWORD& source) {
    return PlatformIcmpReceiveFrom(m_socket, buffer, capacity, received, source);
}

DWORD CHopwatchSystemNetwork::ReceiveQueued(BYTE* buffer, int capacity, int& received,
                                            DWORD& source) {
    static_assert(kNothingQueued == kPlatformIcmpNothingQueued);
    return PlatformIcmpReceiveQueued(m_socket, buffer, capacity, received, source);
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

BOOL CHopwatchSystemNetwork::ResolveHost(const CString& text, DWORD& address, DWORD& error) {
    CNInetHost host(text);
    if (host.GetAddressCount() == 0) {
        error = GetLastSystemError();
        return FALSE;
    }
    address = host.GetAddress(0);
    return TRUE;
}

BOOL CHopwatchSystemNetwork::LocalAddress(DWORD& address) {
    return GetLocalAddress(&address);
}
