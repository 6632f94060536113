// CFakeHopwatchNetwork: a scripted network for engine tests, with a driven clock.
#include "support/CFakeHopwatchNetwork.h"

#include <cstring>

#include "platform/last_error.h"
#include "support/test_datagrams.h"

namespace {
constexpr DWORD kWouldBlock = 10035;     // WSAEWOULDBLOCK
constexpr DWORD kMessageTooLong = 10040; // WSAEMSGSIZE
} // namespace

bool CFakeHopwatchNetwork::Fails(SFault& fault) {
    if (fault.code == 0 || fault.times == 0)
        return false;
    if (fault.after > 0) {
        --fault.after;
        return false;
    }
    if (fault.times > 0)
        --fault.times;
    return true;
}

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
    if (Fails(ttlFault))
        return ttlFault.code;
    m_ttl = ttl;
    return 0;
}

DWORD CFakeHopwatchNetwork::SendTo(const BYTE* message, int length, DWORD address) {
    SSent sent;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (Fails(sendFault))
            return sendFault.code;
        sent = SSent{m_ttl, address, std::vector<BYTE>(message, message + length), m_now};
        if (keepSent)
            m_sent.push_back(sent);
        if (!silence || !silence(sent))
            AnswerLocked(sent);
    }
    if (onSend)
        onSend(sent);
    return 0;
}

// The scripted route's answer to a probe, queued for its arrival.
void CFakeHopwatchNetwork::AnswerLocked(const SSent& sent) {
    if (route.empty() || sent.message.size() < 8)
        return;
    const DWORD id = sent.message[4] | (static_cast<DWORD>(sent.message[5]) << 8);
    const DWORD seq = sent.message[6] | (static_cast<DWORD>(sent.message[7]) << 8);
    const int hops = sent.destination == local ? 0 : sent.ttl;
    if (sent.destination != local && static_cast<size_t>(sent.ttl) <= route.size()) {
        Insert(SDatagram{MakeIcmpError(11, 0, id, seq), route[static_cast<size_t>(sent.ttl) - 1],
                         m_now + hopDelay * hops});
        return;
    }
    const int distance = sent.destination == local ? 1 : static_cast<int>(route.size()) + 1;
    Insert(SDatagram{MakeEchoReply(id, seq), sent.destination, m_now + hopDelay * distance});
}

void CFakeHopwatchNetwork::Insert(SDatagram datagram) {
    auto at = m_inbox.end();
    while (at != m_inbox.begin() && (at - 1)->arrival > datagram.arrival)
        --at;
    m_inbox.insert(at, std::move(datagram));
}

int CFakeHopwatchNetwork::WaitReadable(long seconds, long microseconds, DWORD& error) {
    std::lock_guard<std::mutex> guard(m_mutex);
    ++waits;
    lastWaitMicroseconds = seconds * 1000000 + microseconds;
    if (Fails(waitFault)) {
        error = waitFault.code;
        return -1;
    }
    const std::int64_t wait =
        (static_cast<std::int64_t>(seconds) * 1000000 + microseconds) * frequency / 1000000;
    if (!m_inbox.empty() && m_inbox.front().arrival <= m_now + wait) {
        if (m_inbox.front().arrival > m_now)
            m_now = m_inbox.front().arrival;
        return 1;
    }
    m_now += wait;
    return 0;
}

DWORD CFakeHopwatchNetwork::ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source) {
    std::lock_guard<std::mutex> guard(m_mutex);
    received = 0;
    if (m_inbox.empty() || m_inbox.front().arrival > m_now)
        return kWouldBlock;
    const SDatagram datagram = m_inbox.front();
    m_inbox.erase(m_inbox.begin());
    if (Fails(receiveFault))
        return receiveFault.code;
    const int size = static_cast<int>(datagram.bytes.size());
    std::memcpy(buffer, datagram.bytes.data(),
                static_cast<size_t>(size < capacity ? size : capacity));
    if (size > capacity) {
        ++truncated;
        return kMessageTooLong;
    }
    received = size;
    source = datagram.source;
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

BOOL CFakeHopwatchNetwork::StartWorker(CNWorkerThread& worker) {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (Fails(startFault)) {
            SetLastSystemError(startFault.code);
            return FALSE;
        }
    }
    return CHopwatchNetwork::StartWorker(worker);
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
    Insert(SDatagram{datagram, source, m_now});
}

void CFakeHopwatchNetwork::QueueDatagramAt(const std::vector<BYTE>& datagram, DWORD source,
                                           std::int64_t arrival) {
    std::lock_guard<std::mutex> guard(m_mutex);
    Insert(SDatagram{datagram, source, arrival});
}

std::vector<CFakeHopwatchNetwork::SSent> CFakeHopwatchNetwork::Sent() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_sent;
}
