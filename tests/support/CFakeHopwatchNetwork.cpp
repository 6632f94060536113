// CFakeHopwatchNetwork: a scripted network for engine tests, with a driven clock.
#include "support/CFakeHopwatchNetwork.h"

#include <cstring>

DWORD CFakeHopwatchNetwork::Open() {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (openError != 0)
        return openError;
    m_open = true;
    return 0;
}

DWORD CFakeHopwatchNetwork::Close() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_open = false;
    return 0;
}

DWORD CFakeHopwatchNetwork::SetTtl(int ttl) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_ttl = ttl;
    return 0;
}

DWORD CFakeHopwatchNetwork::SendTo(const BYTE* message, int length, DWORD address) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_sent.push_back(SSent{m_ttl, address, std::vector<BYTE>(message, message + length)});
    return 0;
}

int CFakeHopwatchNetwork::WaitReadable(long seconds, long microseconds, DWORD& error) {
    std::lock_guard<std::mutex> guard(m_mutex);
    ++waits;
    lastWaitMicroseconds = seconds * 1000000 + microseconds;
    if (!m_inbox.empty())
        return 1;
    m_now += (static_cast<std::int64_t>(seconds) * 1000000 + microseconds) * frequency / 1000000;
    return 0;
}

DWORD CFakeHopwatchNetwork::ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source) {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_inbox.empty())
        return 10035; // would block
    const std::vector<BYTE>& datagram = m_inbox.front().first;
    received =
        static_cast<int>(datagram.size()) < capacity ? static_cast<int>(datagram.size()) : capacity;
    std::memcpy(buffer, datagram.data(), static_cast<size_t>(received));
    source = m_inbox.front().second;
    m_inbox.pop_front();
    return 0;
}

std::int64_t CFakeHopwatchNetwork::Now() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_now;
}

BOOL CFakeHopwatchNetwork::ResolveHost(const CString& text, DWORD& address, DWORD& error) {
    std::lock_guard<std::mutex> guard(m_mutex);
    resolvedText = text;
    if (target == 0) {
        error = resolveError;
        return FALSE;
    }
    address = target;
    return TRUE;
}

BOOL CFakeHopwatchNetwork::LocalAddress(DWORD& address) {
    address = local;
    return local != 0;
}

void CFakeHopwatchNetwork::Advance(std::int64_t ticks) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_now += ticks;
}

void CFakeHopwatchNetwork::SetNow(std::int64_t ticks) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_now = ticks;
}

void CFakeHopwatchNetwork::QueueDatagram(const std::vector<BYTE>& datagram, DWORD source) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_inbox.emplace_back(datagram, source);
}

std::vector<CFakeHopwatchNetwork::SSent> CFakeHopwatchNetwork::Sent() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_sent;
}
