// The wire side of the engine: target resolution, probe schedule, sending, timeouts, reply
// matching.
#include "engine/CHopwatchData.h"

#include <memory>

#include "engine/icmp_wire.h"
#include "engine/inet_address.h"
#include "foundation/blank_set.h"
#include "foundation/system_error_text.h"
#include "platform/icmp_socket.h"

namespace {
// The longest single wait for a reply. Longer waits are taken in pieces so that a stop request
// ends the ping worker promptly even with a long interval or timeout.
constexpr double kMaxWaitSeconds = 0.25;
// Code stored when the resolver failed without saying why (WSAHOST_NOT_FOUND), so that the failure
// is never shown as "no error".
constexpr DWORD kErrorHostNotFound = 11001;
// Hop 0 is probed here when this computer has no address other than loopback.
constexpr DWORD kLoopbackAddress = 0x7F000001u; // 127.0.0.1, host byte order
// Highest value the IP time-to-live field holds.
constexpr int kMaxIpTtl = 255;
// A probe that falls due this soon after a send goes out in the same wake instead of after a
// sleep of its own. At a spacing of about 100 us (a 3 ms interval over 30 hops) a sleep and its
// wake-up cost more CPU than the probe itself; sending the next two or three probes at once
// saves most of that. A quarter of a millisecond is half of the 0.5 ms by which a probe may
// stray from its grid time, and far below the spacing of ordinary runs (milliseconds), where
// the next probe is never this close and every probe keeps its own wake.
constexpr double kCoalesceSeconds = 0.00025;
// Slots of the table that the shortest spacing leaves unused over one time-out and grace.
constexpr DWORD kSlotsInHand = 256;
// Bounds one wake's sends when the counter cannot space them (a spacing of 0 ticks).
constexpr int kMaxProbesPerWake = 64;
// Bounds the datagrams read in one wake, so that the loop looks at its schedule now and then
// even under a flood of foreign ICMP.
constexpr int kMaxRepliesPerWake = 64;

// The note of an ordinary reply; a shared empty text so that matching a reply never allocates.
const CString& EmptyNote() {
    static const CString empty;
    return empty;
}

// The target's resolution on a thread of its own: with a name server that never answers it takes
// many seconds, and a stop must not wait for it.
class CTargetResolveCall : public CNAbandonableCall {
public:
    CTargetResolveCall(HopwatchHostResolver resolve, const CString& text)
        : m_resolve(std::move(resolve)), m_text(text) {}
    BOOL m_resolved = FALSE;
    DWORD m_address = 0;
    DWORD m_error = 0;

protected:
    void Call() override { m_resolved = m_resolve(m_text, m_address, m_error); }

private:
    const HopwatchHostResolver m_resolve;
    const CString m_text;
};
} // namespace

BOOL CHopwatchData::ResolveTarget(CNWorkerThread* waiter) {
    CString text;
    {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        text = TrimBlanks(m_targetText);
    }
    // Asked once per run (the wire is open by now): the process id is a system call on some
    // systems, and every probe and every reply needs it. On an ICMP datagram socket the answers
    // carry the socket's own identifier instead.
    m_probeId = m_network->ProbeIdentifier();
    DWORD local = 0;
    m_localAddress.store(m_network->LocalAddress(local) ? HopwatchSwapOrder(local) : kHopwatchNone);

    DWORD target = 0;
    DWORD error = 0;
    BOOL resolved = FALSE;
    HopwatchHostResolver resolve = m_network->HostResolver();
    if (waiter != nullptr) {
        const auto call = std::make_shared<CTargetResolveCall>(std::move(resolve), text);
        if (!waiter->WaitForCall(call, [this] { return m_stopRequested.load() != 0; })) {
            // Stopped before the resolver answered: the run ends as a stop with nothing pending
            // does, and the answer, whenever it comes, is dropped.
            AskWorkersToStop();
            return FALSE;
        }
        resolved = call->m_resolved;
        target = call->m_address;
        error = call->m_error;
    } else {
        resolved = resolve(text, target, error);
    }
    // 0.0.0.0 and the all-ones broadcast are never probed.
    if (!resolved || target == 0 || target == kHopwatchNone) {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        m_errorText = L"Failed to resolve host IP address (" + text + L")";
        m_lastError.store(error != 0 ? error : kErrorHostNotFound);
        return FALSE;
    }
    m_targetAddress.store(HopwatchSwapOrder(target));
    const CString dotted = FormatDottedAddress(target);
    if (text != dotted) {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        m_title = text + L" -> " + dotted;
        ++m_titleVersion;
    }
    QueueLookup(target);
    m_prevSlotTime = m_curSlotTime = m_network->Now();
    return TRUE;
}

double CHopwatchData::GetProbeSpacing() const {
    const DWORD hopCount = m_hopCount.load();
    const DWORD n = (m_routeComplete.load() != 0 && hopCount != 0) ? hopCount : m_maxTtl.load();
    const double spacing = n == 0 ? 1.0 / 64 : m_intervalMs.load() / 1000.0 / n;
    // Every slot is taken in turn, and one whose probe is not answered is free again only after
    // its time-out and grace. Sending faster than the table turns over would run out of slots
    // and leave bursts and gaps; at this spacing the next slot is free when its probe is due.
    // A few slots are kept in hand, so that a send a little late or a counter's rounding never
    // finds the next slot still in its grace.
    const double turnover =
        (m_timeoutMs.load() / 1000.0 + kSlotGraceSeconds) / (kHopwatchSlotCount - kSlotsInHand);
    return spacing > turnover ? spacing : turnover;
}

std::int64_t CHopwatchData::SlotFreeTime(DWORD slot) const {
    const SHopwatchPing& ping = m_pings[static_cast<int>(slot)];
    switch (ping.state) {
    case kSlotPending:
    case kSlotTimedOut: // its time still holds the send time
        return ping.time + SecondsToTicks(m_timeoutMs.load() / 1000.0 + kSlotGraceSeconds);
    case kSlotTaken: // only while its own send is under way
        return INT64_MAX;
    default:
        return INT64_MIN;
    }
}

double CHopwatchData::GetWaitTime() {
    const std::int64_t frequency = m_network->Frequency();
    if (frequency <= 0)
        return 0.0;
    const std::int64_t now = m_network->Now();
    std::int64_t due;
    if (m_stopRequested.load() != 0) {
        // Nothing more is sent while stopping; wake when the oldest pending probe times out
        // rather than sweeping without pause, and at once when nothing is pending.
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        if (m_pendingHead == kHopwatchNone)
            return 0.0;
        due = m_pings[static_cast<int>(m_pendingHead)].time +
              SecondsToTicks(m_timeoutMs.load() / 1000.0);
    } else {
        due = m_prevSlotTime + SecondsToTicks(GetProbeSpacing());
        // The slot table is written by this thread alone (Start resets it before the thread
        // runs), so the next slot is read without the lock.
        if (m_pings.GetSize() == static_cast<int>(kHopwatchSlotCount)) {
            const std::int64_t slotFree = SlotFreeTime((m_lastSlot.load() + 1) & 0xFFFF);
            if (slotFree > due)
                due = slotFree;
        }
    }
    if (due <= now)
        return 0.0;
    return static_cast<double>(due - now) / static_cast<double>(frequency);
}

DWORD CHopwatchData::ReceiveReply() {
    double wait = GetWaitTime();
    const bool capped = wait > kMaxWaitSeconds;
    if (capped)
        wait = kMaxWaitSeconds;
    long seconds = 0;
    long microseconds = 0;
    if (wait > 0) {
        seconds = static_cast<long>(wait);
        microseconds = static_cast<long>((wait - seconds) * 1000000.0);
    }
    DWORD error = 0;
    const int ready = m_network->WaitReadable(seconds, microseconds, error);
    if (ready < 0) {
        SetError(error, L"Failed on raw socket receive select");
        return error;
    }
    if (ready == 0)
        return capped ? 0 : kWaitTimeout;
    if (ready != 1)
        return kErrorUnexpectedCount;
    // The wait ended at a datagram; those that arrived with it are read in the same wake, each
    // with its own receive time, rather than with one more wait each. They would be read before
    // the next send either way, so the order of reads and sends is the same.
    BYTE buffer[kIcmpDatagramMax];
    int count = 0;
    for (; count < kMaxRepliesPerWake; ++count) {
        // The wire may replace this with the moment the answer arrived.
        std::int64_t receiveTime = m_network->Now();
        DWORD source = 0;
        int length = 0;
        error =
            count == 0
                ? m_network->ReceiveFrom(buffer, kIcmpDatagramMax, length, source, receiveTime)
                : m_network->ReceiveQueued(buffer, kIcmpDatagramMax, length, source, receiveTime);
        // Nothing to read after all: what woke the wait on an ICMP datagram socket or the
        // system's ICMP service was no answer to deliver (a local error, a request that timed
        // out).
        if (error == CHopwatchNetwork::kNothingQueued)
            break;
        // Winsock fails a datagram larger than the buffer with WSAEMSGSIZE and drops its rest.
        // Any large ICMP packet reaching this computer (a big ping from another host) does that;
        // none of them answers a probe, so it is dropped like any other foreign datagram.
        if (error == kErrorMessageTooLong)
            continue;
        if (error != 0) {
            SetError(error, L"Failed on raw socket recvfrom");
            return error;
        }
        ProcessReply(buffer, length, receiveTime, source);
    }
    if (count == kMaxRepliesPerWake) {
        // More may be queued: the time-outs are swept before the next read, and the caller
        // sends whatever is due.
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        SweepTimeouts(m_network->Now());
    }
    return 0;
}

DWORD CHopwatchData::ServiceWire() {
    const DWORD result = ReceiveReply();
    if (result == 0 && GetWaitTime() > 0)
        return 0;
    if (result != 0 && result != kWaitTimeout)
        return result;
    // Due: by the wait that ran out, or while datagrams kept the wait from running out at all.
    return SendDueProbes();
}

DWORD CHopwatchData::SendDueProbes() {
    for (int count = 0; count < kMaxProbesPerWake; ++count) {
        bool sent = false;
        const DWORD error = SendNextProbe(sent);
        if (error != 0 || !sent)
            return error;
        // Early, never late: only probes due within the window ride along; the send time
        // stamped on each is its own, so its round-trip time stays right.
        if (m_stopRequested.load() != 0 || GetWaitTime() > kCoalesceSeconds)
            return 0;
    }
    return 0;
}

DWORD CHopwatchData::SendProbe() {
    bool sent = false;
    return SendNextProbe(sent);
}

DWORD CHopwatchData::SendNextProbe(bool& sent) {
    sent = false;
    BYTE buffer[kIcmpDatagramMax];
    DWORD slot = 0;
    int length = 0;
    int ttl = 0;
    DWORD destination = 0;
    if (!PrepareProbe(slot, buffer, length, ttl, destination))
        return 0;
    DWORD error = m_network->SetTtl(ttl);
    if (error != 0) {
        SetError(error, L"Failed setting raw socket ttl option");
        return error;
    }
    const std::int64_t sendTime = m_network->Now();
    error = m_network->SendTo(buffer, length, destination);
    // An outage (no route, no buffer space, network down: sleep and resume, a Wi-Fi drop, an
    // adapter change) is what a user watches for: its probes count lost and probing goes on.
    // Only a socket that is gone or refused ends the run.
    if (error != 0 && !PlatformIcmpSendErrorPasses(error)) {
        SetError(error, L"Failed on raw socket sendto");
        return error;
    }
    RecordSent(slot, sendTime);
    if (error != 0)
        RecordSendFailure(slot, error);
    sent = true;
    return 0;
}

bool CHopwatchData::PrepareProbe(DWORD& slot, BYTE* buffer, int& length, int& ttl,
                                 DWORD& destination) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (m_nextHop.load() >= m_hopCount.load())
        m_nextHop.store(0);
    SweepTimeouts(m_network->Now());
    if (m_stopRequested.load() == 0 && !NextHopBelowLimit())
        m_stopRequested.store(1); // every hop has had its probes: end as a stop request does
    if (m_stopRequested.load() != 0) {
        if (m_pendingTail == kHopwatchNone) {
            AskWorkersToStop();
            m_lastError.store(0);
        }
        return false;
    }
    // Slots are taken in turn, so the next one carried the oldest probe of all: when it is not
    // free yet, nothing is free that could be taken without breaking the order, and the caller
    // waits until it is (GetWaitTime) rather than searching the table.
    const DWORD candidate = (m_lastSlot.load() + 1) & 0xFFFF;
    if (SlotFreeTime(candidate) > m_network->Now())
        return false;
    const DWORD hop = m_nextHop.load();
    SHopwatchPing& ping = m_pings[static_cast<int>(candidate)];
    ping.state = kSlotTaken;
    ping.hop = hop;
    m_lastSlot.store(candidate);
    slot = candidate;
    length = BuildIcmpEchoRequest(buffer, IcmpEchoLength(m_packetSize.load()), m_probeId,
                                  static_cast<WORD>(candidate));
    if (hop > 0) {
        ttl = static_cast<int>(hop);
        destination = HopwatchSwapOrder(m_targetAddress.load());
    } else {
        // Hop 0 is this computer, sent with the largest TTL. 256 hops are allowed but the IP
        // field ends at 255. Without a local address other than loopback, this computer is
        // probed at 127.0.0.1: the all-ones "unknown" value would be a broadcast.
        const DWORD maxTtl = m_maxTtl.load();
        ttl = maxTtl < static_cast<DWORD>(kMaxIpTtl) ? static_cast<int>(maxTtl) : kMaxIpTtl;
        const DWORD local = m_localAddress.load();
        destination = HopwatchSwapOrder(local != kHopwatchNone ? local : kLoopbackAddress);
        SHopwatchHost& self = m_hops[0];
        if (self.address == kHopwatchNone) {
            self.image = kImageLocal;
            self.address = destination;
            // The marker only goes with a queued lookup: one the DNS worker refused (it has
            // ended) would never be replaced by a name.
            if (m_reverseDns.load() && QueueLookup(destination))
                self.name = kHopwatchLookingUp;
        }
    }
    m_prevSlotTime = m_curSlotTime;
    if (m_routeComplete.load() == 0 && m_hopCount.load() < m_maxTtl.load()) {
        ++m_hopCount;
        RebuildRows();
    }
    if (++m_nextHop >= m_hopCount.load())
        m_nextHop.store(0);
    return true;
}

bool CHopwatchData::NextHopBelowLimit() {
    const DWORD limit = m_probeLimit.load();
    if (limit == 0)
        return true;
    // While the route grows, the next hop is the one just added, which has had nothing yet.
    const DWORD hopCount = m_hopCount.load();
    for (DWORD step = 0; step < hopCount; ++step) {
        const DWORD hop = (m_nextHop.load() + step) % hopCount;
        if (m_hops[static_cast<int>(hop)].sent < limit) {
            m_nextHop.store(hop);
            return true;
        }
    }
    return false;
}

void CHopwatchData::RecordSent(DWORD slot, std::int64_t sendTime) {
    const std::int64_t spacing = SecondsToTicks(GetProbeSpacing());
    m_curSlotTime = m_prevSlotTime + spacing;
    if (spacing <= 0) {
        // A counter too coarse for the spacing: the schedule simply follows the sends.
        m_curSlotTime = sendTime;
    } else if (m_curSlotTime < sendTime - SecondsToTicks(kCoalesceSeconds)) {
        // Keep the grid's phase after a late send: the last grid time not after the send. A
        // wake at most the coalescing window late keeps the grid as it is, so that the probes
        // it made overdue go out in the same wake, as those due within the window do: at
        // spacings of tens of microseconds every wake-up a little late would lose probes.
        m_curSlotTime += ((sendTime - m_curSlotTime) / spacing) * spacing;
    }
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    SHopwatchPing& ping = m_pings[static_cast<int>(slot)];
    ping.time = sendTime;
    ping.state = kSlotPending;
    ping.nextPending = kHopwatchNone;
    ping.prevPending = m_pendingTail;
    if (m_pendingTail != kHopwatchNone)
        m_pings[static_cast<int>(m_pendingTail)].nextPending = slot;
    else
        m_pendingHead = slot;
    m_pendingTail = slot;
    SHopwatchHost& host = m_hops[static_cast<int>(ping.hop)];
    ++host.sent;
    ++host.version;
    AddToChainHistories(ping.hop, slot, HopwatchNegativeNaN());
    ++m_dataVersion;
    PushOutcome(slot, kOutcomeSent, sendTime, HopwatchPositiveNaN());
}

void CHopwatchData::SweepTimeouts(std::int64_t now) {
    const double timeout = m_timeoutMs.load() / 1000.0;
    DWORD slot = m_pendingHead;
    while (slot != kHopwatchNone) {
        SHopwatchPing& ping = m_pings[static_cast<int>(slot)];
        if (TicksToSeconds(now - ping.time) < timeout)
            break; // the list is in send order: the rest are younger
        const DWORD next = ping.nextPending;
        CountLost(slot);
        slot = next;
    }
}

void CHopwatchData::CountLost(DWORD slot) {
    SHopwatchPing& ping = m_pings[static_cast<int>(slot)];
    UnlinkPending(slot);
    ping.state = kSlotTimedOut;
    if (ping.hop < m_hopCount.load()) {
        SHopwatchHost& host = m_hops[static_cast<int>(ping.hop)];
        ++host.lost;
        ++host.version;
        AddToChainHistories(ping.hop, slot, HopwatchPositiveNaN());
        ++m_dataVersion;
        PushOutcome(slot, kOutcomeLost, ping.time, HopwatchPositiveNaN());
    } else {
        PushOutcome(slot, kOutcomeVoid, ping.time, HopwatchPositiveNaN());
    }
}

void CHopwatchData::RecordSendFailure(DWORD slot, DWORD error) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (error != m_sendErrorCode || m_sendErrorNote.empty()) {
        m_sendErrorCode = error;
        m_sendErrorNote = SystemErrorText(error, FALSE);
    }
    const DWORD hop = m_pings[static_cast<int>(slot)].hop;
    CountLost(slot);
    SHopwatchHost& host = m_hops[static_cast<int>(hop)];
    if (hop < m_hopCount.load() && host.note != m_sendErrorNote)
        host.note = m_sendErrorNote;
}

void CHopwatchData::UnlinkPending(DWORD slot) {
    SHopwatchPing& ping = m_pings[static_cast<int>(slot)];
    if (ping.prevPending != kHopwatchNone)
        m_pings[static_cast<int>(ping.prevPending)].nextPending = ping.nextPending;
    else
        m_pendingHead = ping.nextPending;
    if (ping.nextPending != kHopwatchNone)
        m_pings[static_cast<int>(ping.nextPending)].prevPending = ping.prevPending;
    else
        m_pendingTail = ping.prevPending;
    ping.prevPending = ping.nextPending = kHopwatchNone;
}

// Matching stage: the parsed reply names our identifier and the slot it answers.
void CHopwatchData::ProcessReply(const BYTE* buffer, int length, std::int64_t receiveTime,
                                 DWORD source) {
    SIcmpReply reply;
    if (!ParseIcmpReply(buffer, length, reply) || reply.identifier != m_probeId)
        return;
    const bool unreachable = reply.type == kIcmpUnreachable;
    const CString& note = unreachable ? GetUnreachableText(reply.code) : EmptyNote();
    // An unreachable reply may come from any router on the way; it names no responder of the hop.
    const DWORD responder = unreachable ? 0 : source;
    const DWORD slot = reply.sequence;

    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (slot >= static_cast<DWORD>(m_pings.GetSize()))
        return; // no run has set up the slots yet
    SHopwatchPing& ping = m_pings[static_cast<int>(slot)];
    bool late = false;
    if (ping.state == kSlotPending)
        UnlinkPending(slot);
    else if (ping.state == kSlotTimedOut)
        late = true;
    else
        return;
    if (ping.hop >= m_hopCount.load()) {
        if (!late)
            PushOutcome(slot, kOutcomeVoid, ping.time, HopwatchPositiveNaN());
        ping.state = kSlotFree;
        return;
    }
    const EHopwatchOutcomeKind kind =
        late ? kOutcomeLate : (unreachable ? kOutcomeUnreachable : kOutcomeReply);
    PushOutcome(slot, kind, ping.time,
                unreachable ? HopwatchPositiveNaN() : TicksToSeconds(receiveTime - ping.time),
                responder, unreachable ? reply.code : 0);
    ProcessMatchedReply(slot, late, unreachable, note, responder, receiveTime);
}
