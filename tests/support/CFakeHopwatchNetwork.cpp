// CFakeHopwatchNetwork: a scripted network for engine tests, with a driven clock.
#include "support/CFakeHopwatchNetwork.h"

#include <cstring>

#include "engine/icmp_wire.h"
#include "platform/last_error.h"
#include "support/test_datagrams.h"

namespace {
constexpr DWORD kWouldBlock = 10035;     // WSAEWOULDBLOCK
constexpr DWORD kMessageTooLong = 10040; // WSAEMSGSIZE
} // namespace

CFakeHopwatchNetwork::SDatagram CFakeHopwatchNetwork::Entry(const std::vector<BYTE>& bytes,
                                                            DWORD source, std::int64_t arrival) {
    SDatagram entry;
    entry.bytes = bytes;
    entry.source = source;
    entry.arrival = arrival;
    return entry;
}

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

DWORD CFakeHopwatchNetwork::Open(EHopwatchProbeMethod wire, DWORD timeoutMs, DWORD maxOutstanding) {
    std::lock_guard<std::mutex> guard(m_mutex);
    openTimeoutMs = timeoutMs;
    openMaxOutstanding = maxOutstanding;
    if (openError != 0)
        return openError;
    if (wire == kProbeRaw && rawOpenError != 0)
        return rawOpenError;
    method = wire;
    m_open = true;
    return 0;
}

WORD CFakeHopwatchNetwork::ProbeIdentifier() {
    return method == kProbeDatagram ? socketIdentifier : CHopwatchNetwork::ProbeIdentifier();
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
        if (method == kProbeDatagram && length >= 8) {
            // The kernel sends the request with the socket's identifier and its own checksum.
            sent.message[4] = static_cast<BYTE>(socketIdentifier & 0xFF);
            sent.message[5] = static_cast<BYTE>(socketIdentifier >> 8);
            sent.message[2] = sent.message[3] = 0;
            const WORD checksum = IcmpChecksum(sent.message.data(), length);
            std::memcpy(sent.message.data() + 2, &checksum, 2);
        }
        if (keepSent)
            m_sent.push_back(sent);
        if (!silence || !silence(sent))
            AnswerLocked(sent);
    }
    if (onSend)
        onSend(sent);
    return 0;
}

// The scripted route's answer to a probe, queued for its arrival in the shape of the open wire.
void CFakeHopwatchNetwork::AnswerLocked(const SSent& sent) {
    if (route.empty() || sent.message.size() < 8)
        return;
    const WORD id = static_cast<WORD>(sent.message[4] | (sent.message[5] << 8));
    const WORD seq = static_cast<WORD>(sent.message[6] | (sent.message[7] << 8));
    const int hops = sent.destination == local ? 0 : sent.ttl;
    const bool expires = sent.destination != local && static_cast<size_t>(sent.ttl) <= route.size();
    const DWORD router = expires ? route[static_cast<size_t>(sent.ttl) - 1] : 0;
    const int distance = sent.destination == local ? 1 : static_cast<int>(route.size()) + 1;
    SDatagram answer;
    answer.source = expires ? router : sent.destination;
    answer.arrival = m_now + hopDelay * (expires ? hops : distance);
    if (method == kProbeDatagram) {
        answer.shape = EShape::Socket;
        answer.bytes = sent.message;
        if (expires) {
            answer.errorQueue = true;
            answer.type = kIcmpTimeExceeded;
        } else {
            answer.bytes[0] = kIcmpEchoReply;
        }
    } else if (method == kProbeSystem) {
        answer.shape = EShape::Service;
        answer.service =
            SIcmpServiceAnswer{expires ? kIpTtlExpiredTransit : kIpSuccess, answer.source, id, seq};
    } else {
        answer.bytes = expires ? MakeIcmpError(11, 0, id, seq) : MakeEchoReply(id, seq);
    }
    Insert(std::move(answer));
}

int CFakeHopwatchNetwork::Deliver(const SDatagram& datagram, BYTE* buffer, int capacity) {
    if (datagram.shape == EShape::Service)
        return IcmpServiceAnswerToRaw(datagram.service, buffer, capacity);
    SIcmpDatagramAnswer answer;
    answer.fromErrorQueue = datagram.errorQueue;
    answer.origin = datagram.origin;
    answer.type = datagram.type;
    answer.code = datagram.code;
    answer.source = datagram.source;
    answer.message = datagram.bytes.data();
    answer.length = static_cast<int>(datagram.bytes.size());
    return IcmpDatagramAnswerToRaw(answer, buffer, capacity);
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
    std::int64_t wait =
        (static_cast<std::int64_t>(seconds) * 1000000 + microseconds) * frequency / 1000000;
    if (floodTicks > 0)
        return 1;
    if (!m_inbox.empty() && m_inbox.front().arrival <= m_now + wait) {
        if (m_inbox.front().arrival > m_now)
            m_now = m_inbox.front().arrival;
        return 1;
    }
    const std::int64_t tick = preciseBegun > preciseEnded ? preciseTicks : coarseTicks;
    if (tick > 0 && wait > 0)
        wait = ((m_now + wait + tick - 1) / tick) * tick - m_now;
    m_now += wait;
    return 0;
}

bool CFakeHopwatchNetwork::BeginPreciseWaits() {
    std::lock_guard<std::mutex> guard(m_mutex);
    ++preciseBegun;
    return true;
}

void CFakeHopwatchNetwork::EndPreciseWaits() {
    std::lock_guard<std::mutex> guard(m_mutex);
    ++preciseEnded;
}

DWORD CFakeHopwatchNetwork::ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source,
                                        std::int64_t& receiveTime) {
    std::lock_guard<std::mutex> guard(m_mutex);
    received = 0;
    for (;;) {
        if (m_inbox.empty() || m_inbox.front().arrival > m_now)
            return floodTicks > 0 ? ReceiveFlood(buffer, capacity, received, source) : kWouldBlock;
        const SDatagram datagram = m_inbox.front();
        m_inbox.erase(m_inbox.begin());
        if (Fails(receiveFault))
            return receiveFault.code;
        if (datagram.shape == EShape::Raw)
            return ReceiveRaw(datagram, buffer, capacity, received, source);
        // What the other ways hand over: translated, with the time it arrived. An answer that
        // gives nothing to deliver (a request that timed out, a local error) is passed over.
        received = Deliver(datagram, buffer, capacity);
        if (received != 0) {
            source = datagram.source;
            receiveTime = datagram.arrival;
            return 0;
        }
    }
}

// A foreign echo reply of the flood, after the scripted datagrams; reading it takes its time.
DWORD CFakeHopwatchNetwork::ReceiveFlood(BYTE* buffer, int capacity, int& received, DWORD& source) {
    m_now += floodTicks;
    ++flooded;
    const std::vector<BYTE> foreign = MakeEchoReply(processId + 1, static_cast<DWORD>(flooded));
    std::memcpy(buffer, foreign.data(),
                foreign.size() < static_cast<size_t>(capacity) ? foreign.size()
                                                               : static_cast<size_t>(capacity));
    received = static_cast<int>(foreign.size());
    source = TestIp(192, 0, 2, 66);
    return 0;
}

DWORD CFakeHopwatchNetwork::ReceiveRaw(const SDatagram& datagram, BYTE* buffer, int capacity,
                                       int& received, DWORD& source) {
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

HopwatchHostResolver CFakeHopwatchNetwork::HostResolver() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return [log = m_resolveLog, hook = onResolve, resolved = target,
            failure = resolveError](const CString& text, DWORD& address, DWORD& error) -> BOOL {
        if (hook)
            hook();
        std::lock_guard<std::mutex> logGuard(log->mutex);
        log->text = text;
        if (resolved == 0) {
            error = failure;
            return FALSE;
        }
        address = resolved;
        return TRUE;
    };
}

CString CFakeHopwatchNetwork::ResolvedText() const {
    std::lock_guard<std::mutex> guard(m_resolveLog->mutex);
    return m_resolveLog->text;
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
    Insert(Entry(datagram, source, m_now));
}

void CFakeHopwatchNetwork::QueueDatagramAt(const std::vector<BYTE>& datagram, DWORD source,
                                           std::int64_t arrival) {
    std::lock_guard<std::mutex> guard(m_mutex);
    Insert(Entry(datagram, source, arrival));
}

void CFakeHopwatchNetwork::QueueSocketReply(const std::vector<BYTE>& message, DWORD source,
                                            std::int64_t arrival) {
    SDatagram entry = Entry(message, source, arrival);
    entry.shape = EShape::Socket;
    std::lock_guard<std::mutex> guard(m_mutex);
    Insert(std::move(entry));
}

void CFakeHopwatchNetwork::QueueSocketError(BYTE type, BYTE code, const std::vector<BYTE>& message,
                                            DWORD source, std::int64_t arrival, BYTE origin) {
    SDatagram entry = Entry(message, source, arrival);
    entry.shape = EShape::Socket;
    entry.errorQueue = true;
    entry.origin = origin;
    entry.type = type;
    entry.code = code;
    std::lock_guard<std::mutex> guard(m_mutex);
    Insert(std::move(entry));
}

void CFakeHopwatchNetwork::QueueServiceAnswer(const SIcmpServiceAnswer& answer,
                                              std::int64_t arrival) {
    SDatagram entry = Entry({}, answer.address, arrival);
    entry.shape = EShape::Service;
    entry.service = answer;
    std::lock_guard<std::mutex> guard(m_mutex);
    Insert(std::move(entry));
}

std::vector<CFakeHopwatchNetwork::SSent> CFakeHopwatchNetwork::Sent() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_sent;
}
