// CRecordingOutcomeCodec: probe outcomes as the few bytes each takes in a recording.
#include "recording/CRecordingOutcomeCodec.h"

#include <cmath>

#include "engine/CHopwatchHistory.h"

namespace {

constexpr BYTE kKindMask = 0x07;
// Sends.
constexpr BYTE kSentNextSlot = 0x08; // the slot after the last send's
constexpr BYTE kSentHopShift = 4;    // bits 4-5: how the hop is given
constexpr BYTE kHopGiven = 0;        // a varint follows
constexpr BYTE kHopNext = 1;         // the hop after the last send's
constexpr BYTE kHopZero = 2;         // hop 0
// Every other kind.
constexpr BYTE kLastSentSlot = 0x08;  // the slot of the last send
constexpr BYTE kGivenProbe = 0x10;    // hop and send time follow (the send is not known)
constexpr BYTE kSameResponder = 0x20; // the hop's responder of its last reply
constexpr BYTE kLateUnreachable = 0x40;

constexpr std::uint64_t kMicroPerSecond = 1000000;
constexpr int kSlots = 65536;
constexpr int kHops = 256; // the longest route the engine probes

std::uint64_t RttTicks(double rtt, std::int64_t frequency) {
    if (!(rtt > 0.0))
        return 0;
    const double ticks = rtt * static_cast<double>(frequency);
    return ticks >= 1.8e19 ? 0 : static_cast<std::uint64_t>(std::llround(ticks));
}

} // namespace

BOOL CRecordingOutcomeCodec::Reset(std::int64_t startTicks, std::int64_t frequency) {
    if (!m_slots.SetSize(kRecentSends) || !m_responders.SetSize(kHops))
        return FALSE;
    // A new run number makes every slot unknown without writing the table.
    if (++m_run == 0) {
        for (int i = 0; i < kRecentSends; ++i)
            m_slots[i] = SSlot{0, 0, 0, 0};
        m_run = 1;
    }
    for (int i = 0; i < kHops; ++i)
        m_responders[i] = 0;
    m_startTicks = startTicks;
    m_frequency = frequency > 0 ? frequency : 1;
    m_lastSlot = m_lastHop = 0xFFFF;
    m_lastMicro = 0;
    return TRUE;
}

std::uint64_t CRecordingOutcomeCodec::Micro(std::int64_t ticks) const {
    const std::int64_t since = ticks - m_startTicks;
    if (since <= 0)
        return 0;
    const std::uint64_t d = static_cast<std::uint64_t>(since);
    const std::uint64_t f = static_cast<std::uint64_t>(m_frequency);
    return d / f * kMicroPerSecond + d % f * kMicroPerSecond / f;
}

std::int64_t CRecordingOutcomeCodec::Ticks(std::uint64_t micro) const {
    // Unsigned, so that a value from a damaged file wraps instead of overflowing.
    const std::uint64_t f = static_cast<std::uint64_t>(m_frequency);
    const std::uint64_t ticks =
        micro / kMicroPerSecond * f + micro % kMicroPerSecond * f / kMicroPerSecond;
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(m_startTicks) + ticks);
}

bool CRecordingOutcomeCodec::RememberedResponder(WORD hop, DWORD responder) const {
    return hop < kHops && m_responders[hop] == responder;
}

void CRecordingOutcomeCodec::RememberResponder(WORD hop, DWORD responder) {
    if (hop < kHops)
        m_responders[hop] = responder;
}

void CRecordingOutcomeCodec::Encode(const SHopwatchOutcome& outcome, CRecordingBytesOut& out) {
    const BYTE kind = outcome.kind & kKindMask;
    const std::uint64_t micro = Micro(outcome.sendTime);
    if (kind == kOutcomeSent) {
        BYTE first = kind;
        const bool nextSlot = outcome.slot == static_cast<WORD>(m_lastSlot + 1);
        BYTE hopMode = kHopGiven;
        if (outcome.hop == 0)
            hopMode = kHopZero;
        else if (outcome.hop == static_cast<WORD>(m_lastHop + 1))
            hopMode = kHopNext;
        if (nextSlot)
            first |= kSentNextSlot;
        first |= static_cast<BYTE>(hopMode << kSentHopShift);
        out.Byte(first);
        if (hopMode == kHopGiven)
            out.Varint(outcome.hop);
        if (!nextSlot)
            out.Varint(outcome.slot);
        out.Signed(static_cast<std::int64_t>(micro - m_lastMicro));
        m_lastSlot = outcome.slot;
        m_lastHop = outcome.hop;
        m_lastMicro = micro;
        Slot(outcome.slot) = SSlot{micro, outcome.hop, outcome.slot, m_run};
        return;
    }

    const SSlot& slot = Slot(outcome.slot);
    const bool given = !Known(slot, outcome.slot) || slot.hop != outcome.hop || slot.micro != micro;
    const bool unreachable =
        kind == kOutcomeUnreachable || (kind == kOutcomeLate && HopwatchIsNaN(outcome.rtt));
    const bool reply = (kind == kOutcomeReply || kind == kOutcomeLate) && !unreachable;
    const bool same = reply && RememberedResponder(outcome.hop, outcome.responder);
    BYTE first = kind;
    if (outcome.slot == m_lastSlot)
        first |= kLastSentSlot;
    if (given)
        first |= kGivenProbe;
    if (same)
        first |= kSameResponder;
    if (kind == kOutcomeLate && unreachable)
        first |= kLateUnreachable;
    out.Byte(first);
    if (outcome.slot != m_lastSlot)
        out.Signed(static_cast<std::int16_t>(static_cast<WORD>(outcome.slot - m_lastSlot)));
    if (given) {
        out.Varint(outcome.hop);
        out.Varint(micro);
    }
    if (reply) {
        if (!same)
            out.U32(outcome.responder);
        out.Varint(RttTicks(outcome.rtt, m_frequency));
        RememberResponder(outcome.hop, outcome.responder);
    } else if (unreachable) {
        out.Byte(outcome.code);
    }
}

bool CRecordingOutcomeCodec::Decode(BYTE first, CRecordingBytesIn& in, SHopwatchOutcome& outcome) {
    outcome = SHopwatchOutcome();
    const BYTE kind = first & kKindMask;
    if (kind < kOutcomeSent || kind > kOutcomeVoid || (first & 0x80) != 0)
        return false;
    outcome.kind = kind;
    outcome.rtt = HopwatchPositiveNaN();
    if (kind == kOutcomeSent) {
        const BYTE hopMode = (first >> kSentHopShift) & 3;
        if ((first & 0x40) != 0 || hopMode > kHopZero)
            return false;
        std::uint64_t hop = hopMode == kHopZero ? 0 : static_cast<WORD>(m_lastHop + 1);
        if (hopMode == kHopGiven)
            hop = in.Varint();
        std::uint64_t slot = static_cast<WORD>(m_lastSlot + 1);
        if ((first & kSentNextSlot) == 0)
            slot = in.Varint();
        const std::uint64_t micro = m_lastMicro + static_cast<std::uint64_t>(in.Signed());
        if (!in.IsGood() || hop >= kHops || slot >= kSlots)
            return false;
        outcome.hop = static_cast<WORD>(hop);
        outcome.slot = static_cast<WORD>(slot);
        outcome.sendTime = Ticks(micro);
        m_lastSlot = outcome.slot;
        m_lastHop = outcome.hop;
        m_lastMicro = micro;
        Slot(outcome.slot) = SSlot{micro, outcome.hop, outcome.slot, m_run};
        return true;
    }

    WORD slotNumber = m_lastSlot;
    if ((first & kLastSentSlot) == 0) {
        const std::int64_t delta = in.Signed();
        if (delta < -32768 || delta > 32767)
            return false;
        slotNumber = static_cast<WORD>(m_lastSlot + static_cast<WORD>(delta));
    }
    const SSlot& slot = Slot(slotNumber);
    std::uint64_t hop = slot.hop;
    std::uint64_t micro = slot.micro;
    if ((first & kGivenProbe) != 0) {
        hop = in.Varint();
        micro = in.Varint();
    } else if (!Known(slot, slotNumber)) {
        return false;
    }
    if (!in.IsGood() || hop >= kHops)
        return false;
    outcome.slot = slotNumber;
    outcome.hop = static_cast<WORD>(hop);
    outcome.sendTime = Ticks(micro);
    const bool lateUnreachable = (first & kLateUnreachable) != 0;
    if (lateUnreachable && kind != kOutcomeLate)
        return false;
    const bool reply = (kind == kOutcomeReply || kind == kOutcomeLate) && !lateUnreachable;
    if ((first & kSameResponder) != 0 && !reply)
        return false;
    if (reply) {
        outcome.responder = (first & kSameResponder) != 0 ? m_responders[outcome.hop] : in.U32();
        outcome.rtt = static_cast<double>(in.Varint()) / static_cast<double>(m_frequency);
        m_responders[outcome.hop] = outcome.responder;
    } else if (kind == kOutcomeUnreachable || lateUnreachable) {
        outcome.code = in.Byte();
    }
    return in.IsGood();
}
