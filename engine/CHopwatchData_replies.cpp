// Reply processing: round-trip statistics, unreachable notes, route splits and the end of the
// route.
#include "engine/CHopwatchData.h"

#include <string>

#include "engine/host_figures.h"

namespace {
constexpr DWORD kSplitVersionStep = 0xDEADBEEFu;
constexpr DWORD kNewAlternativeVersionOffset = 0x45123F22u;

const wchar_t* const kUnreachableTexts[16] = {
    L"Network Unreachable",
    L"Host Unreachable",
    L"Protocol unreachable",
    L"Port unreachable",
    L"Fragmentation needed but the DF bit was set",
    L"Source route failed",
    L"Destination network unknown",
    L"Destination host unknown",
    L"Source host isolated",
    L"Destination network administratively prohibited",
    L"Destination host administratively prohibited",
    L"Network unreachable for this type of service",
    L"Host unreachable for this type of service",
    L"Communication administratively prohibited by filtering",
    L"Host precedence violation",
    L"Precedence cutoff in effect",
};

struct SUnreachableTable {
    CString texts[256];
    SUnreachableTable() {
        for (int code = 0; code < 256; ++code)
            texts[code] = code < 16 ? CString(kUnreachableTexts[code])
                                    : L"Host unreachable (code " + std::to_wstring(code) + L")";
    }
};
} // namespace

// Built once, so that counting a reply never allocates.
static const CString& SplitOverflowNote() {
    static const CString note(CHopwatchData::kSplitOverflowNote);
    return note;
}

const CString& CHopwatchData::GetUnreachableText(BYTE code) {
    static const SUnreachableTable table;
    return table.texts[code];
}

const wchar_t* const CHopwatchData::kSplitOverflowNote =
    L"More routes than the list can hold: new responders are counted in this row only";

// A run that lasts for days sees routes change again and again; when the table is full the run
// goes on, and the responders that find no record are counted in their hop's aggregate.
DWORD CHopwatchData::AddAlternative(DWORD follower) {
    const DWORD count = m_altCount.load();
    const DWORD size = static_cast<DWORD>(m_alternatives.GetSize());
    const DWORD capacity = m_maxSplits.load() < size ? m_maxSplits.load() : size;
    if (count >= capacity)
        return kHopwatchNone;
    ++m_altCount;
    InitHost(m_alternatives[static_cast<int>(count)], m_altHistories[static_cast<int>(count)], 0);
    m_alternatives[static_cast<int>(count)].nextAlternative = follower;
    return count;
}

void CHopwatchData::AddToChainHistories(DWORD hop, DWORD slot, double value) {
    m_hopHistories[static_cast<int>(hop)].Add(slot, value);
    AddToAlternativeHistories(hop, slot, value);
}

void CHopwatchData::AddToAlternativeHistories(DWORD hop, DWORD slot, double value) {
    const DWORD altCount = m_altCount.load();
    DWORD alt = m_hops[static_cast<int>(hop)].nextAlternative;
    for (DWORD steps = 0; alt < altCount && steps < altCount; ++steps) {
        m_altHistories[static_cast<int>(alt)].Add(slot, value);
        alt = m_alternatives[static_cast<int>(alt)].nextAlternative;
    }
}

// Second stage of ProcessReply, with the data lock held: the reply to slot at hop h < m_hopCount.
void CHopwatchData::ProcessMatchedReply(DWORD slot, bool late, bool unreachable,
                                        const CString& note, DWORD responder,
                                        std::int64_t receiveTime) {
    SHopwatchPing& ping = m_pings[static_cast<int>(slot)];
    const DWORD h = ping.hop;
    // A destination-unreachable reply ends its probe without a usable time, so it is recorded as
    // "no reply" (+NaN). -NaN would mark the probe as still awaiting its reply, and since the slot
    // leaves the pending list here, no time-out would ever clear that mark.
    double rtt = HopwatchPositiveNaN();
    if (!unreachable) {
        ping.time = receiveTime - ping.time;
        rtt = TicksToSeconds(ping.time);
        ping.state = kSlotAnswered;
    } else {
        ping.state = kSlotUnreachable;
    }
    SHopwatchHost& hop = m_hops[static_cast<int>(h)];
    const bool reverseDns = m_reverseDns.load() != FALSE;

    DWORD answered = kHopwatchNone; // the alternative record that answered, if the hop is split
    bool newSplit = false;
    bool needAlternative = false;
    // A hop's first answer can move the end of the visible rows, so the row index is rebuilt
    // then too; otherwise a hop that first answers after the route stopped growing stays hidden.
    const bool firstAnswer = hop.address == kHopwatchNone;
    if (firstAnswer) {
        hop.address = responder;
        // The marker only goes with a queued lookup (see PrepareProbe).
        if (reverseDns && responder != 0 && QueueLookup(responder))
            hop.name = kHopwatchLookingUp;
    } else if (hop.address == responder) {
        // The known responder answered again. At a split hop (address 0) this is an unreachable
        // reply, which none of the alternatives answered: each of them marked the probe as
        // awaiting when it was sent, and that mark must end here too.
        AddToAlternativeHistories(h, slot, HopwatchPositiveNaN());
    } else if (hop.address == 0) {
        const DWORD altCount = m_altCount.load();
        DWORD alt = hop.nextAlternative;
        for (DWORD steps = 0; alt < altCount && steps < altCount; ++steps) {
            SHopwatchHost& record = m_alternatives[static_cast<int>(alt)];
            const bool match = answered == kHopwatchNone && record.address == responder;
            if (match)
                answered = alt;
            m_altHistories[static_cast<int>(alt)].Add(slot, match ? rtt : HopwatchPositiveNaN());
            alt = record.nextAlternative;
        }
        needAlternative = answered == kHopwatchNone;
    } else {
        // A second responder at this hop: the hop's record so far becomes the first alternative
        // and the hop's record becomes the aggregate of all of them. With no record left for
        // the first responder, the aggregate holds its figures alone (its note says why).
        const DWORD first = AddAlternative(kHopwatchNone);
        if (first != kHopwatchNone) {
            SHopwatchHost& copy = m_alternatives[static_cast<int>(first)];
            copy = hop;
            copy.version += kSplitVersionStep;
            copy.ttl = 0;
            copy.image = kImageAlternative;
            copy.lost = 0;
            copy.sent = 0;
        } else {
            m_splitOverflow[static_cast<int>(h)] = 1;
        }
        hop.address = 0;
        hop.image = kImageSplit;
        hop.nextAlternative = first;
        hop.name.clear();
        newSplit = true;
        needAlternative = true;
    }
    if (needAlternative) {
        // A hop first answered by destination-unreachable gets its first alternative here
        // without passing through the split above; it is an aggregate all the same, not a hop
        // without an answer.
        hop.image = kImageSplit;
        const DWORD added = AddAlternative(hop.nextAlternative);
        if (added != kHopwatchNone) {
            hop.nextAlternative = added;
            SHopwatchHost& record = m_alternatives[static_cast<int>(added)];
            record.version = hop.version - kNewAlternativeVersionOffset;
            record.address = responder;
            record.image = kImageAlternative;
            m_altHistories[static_cast<int>(added)].Add(slot, rtt);
            if (reverseDns && responder != 0 && QueueLookup(responder))
                record.name = kHopwatchLookingUp;
            answered = added;
            newSplit = true;
        } else {
            m_splitOverflow[static_cast<int>(h)] = 1;
        }
        DWORD chain = 0;
        for (DWORD alt = hop.nextAlternative; alt != kHopwatchNone && chain <= m_altCount.load();
             alt = m_alternatives[static_cast<int>(alt)].nextAlternative)
            ++chain;
        if (chain > 0)
            hop.name = L"* " + std::to_wstring(chain) + L" alternative routes *";
    }
    // The note shows the last destination-unreachable reply and is cleared by the next ordinary
    // one, which at a hop whose responders overflowed the table shows that instead.
    const CString& wanted =
        (!unreachable && m_splitOverflow[static_cast<int>(h)] != 0) ? SplitOverflowNote() : note;
    if (hop.note != wanted)
        hop.note = wanted;

    m_hopHistories[static_cast<int>(h)].Add(slot, rtt);
    if (unreachable) {
        if (!late)
            ++hop.lost;
    } else {
        if (late && hop.lost > 0)
            --hop.lost; // the sweep had counted it lost
        HopwatchAddRtt(hop, rtt);
        if (answered != kHopwatchNone) {
            HopwatchAddRtt(m_alternatives[static_cast<int>(answered)], rtt);
            ++m_alternatives[static_cast<int>(answered)].version;
        } else if (h != 0 && hop.address != 0) { // an aggregate keeps its image
            hop.image = kImageAnswering;
        }
    }
    ++hop.version;

    if (responder == HopwatchSwapOrder(m_targetAddress.load())) {
        if (answered != kHopwatchNone)
            m_alternatives[static_cast<int>(answered)].image = kImageTarget;
        else
            hop.image = kImageTarget;
        // The route ends where the target answered first in TTL order, not in time: at short
        // intervals its answer to a farther probe may be read before the one to the nearest, and
        // the rows past the nearest would show the target again and take probes for nothing.
        const bool wasComplete = m_routeComplete.load() != 0;
        m_routeComplete.store(1);
        if (h + 1 < m_hopCount.load()) {
            m_hopCount.store(h + 1);
            RebuildRows();
        } else if (!wasComplete || newSplit || firstAnswer) {
            RebuildRows();
        }
    } else if (h + 1 >= m_hopCount.load() && m_hopCount.load() < m_maxTtl.load()) {
        ++m_hopCount;
        RebuildRows();
    } else if (newSplit || firstAnswer) {
        RebuildRows();
    }
    ++m_dataVersion;
}
