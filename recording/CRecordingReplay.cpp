// CRecordingReplay: a recorded run rebuilt from its outcomes and route.
#include "recording/CRecordingReplay.h"

#include <new>

#include "engine/CHopwatchData.h"
#include "engine/host_figures.h"

namespace {

// Room for a responder per hop and for every alternative the engine can make (it makes at most
// 128), with some to spare for outcomes of a run that failed with too many splits.
constexpr int kSpareTrackers = 160;

} // namespace

CRecordingReplay::CRecordingReplay() = default;
CRecordingReplay::~CRecordingReplay() = default;

BOOL CRecordingReplay::Begin(const SRecordingHeader& header) {
    const int hops = static_cast<int>(header.maxTtl);
    const int trackers = hops + kSpareTrackers;
    m_hops.SetSize(0);
    m_hopStates.SetSize(0);
    m_trackers.SetSize(0);
    m_hopHistories.clear();
    m_trackerHistories.clear();
    m_trackerCount = 0;
    m_records = 0;
    m_rows = SRecordingRows();
    m_dropped = m_outcomes = 0;
    if (!m_hops.SetSize(hops) || !m_hopStates.SetSize(hops) || !m_trackers.SetSize(trackers))
        return FALSE;
    m_hopHistories.resize(static_cast<size_t>(hops));
    m_trackerHistories.resize(static_cast<size_t>(trackers));
    for (int i = 0; i < hops; ++i) {
        m_hops[i].ttl = static_cast<DWORD>(i);
        HopwatchClearFigures(m_hops[i]);
    }
    return TRUE;
}

void CRecordingReplay::OnRunStart(std::int64_t, std::int64_t, const CNTimeStamp&) {}

void CRecordingReplay::OnOutcomes(const SHopwatchOutcome* outcomes, DWORD count, DWORD dropped) {
    m_dropped += dropped;
    for (DWORD i = 0; i < count; ++i)
        Apply(outcomes[i]);
}

void CRecordingReplay::Apply(const SHopwatchOutcome& outcome) {
    if (outcome.hop >= m_hops.GetSize())
        return; // beyond the longest route the run could have: not ours
    ++m_outcomes;
    SHopwatchHost& hop = m_hops[outcome.hop];
    switch (outcome.kind) {
    case kOutcomeSent:
        ++hop.sent;
        AddToHop(outcome.hop, outcome.slot, HopwatchNegativeNaN());
        break;
    case kOutcomeLost:
        ++hop.lost;
        AddToHop(outcome.hop, outcome.slot, HopwatchPositiveNaN());
        break;
    case kOutcomeReply:
    case kOutcomeUnreachable:
    case kOutcomeLate:
        Answer(outcome);
        break;
    default: // void: the probe went beyond the route's end and counts nowhere
        break;
    }
}

// The engine's rules for an answer at a hop: the hop counts it; the responder's alternative
// (if the hop splits) gets its time and every other alternative a gap; the first responder's
// alternative only comes into being, with an empty history, when a second responder answers.
void CRecordingReplay::Answer(const SHopwatchOutcome& outcome) {
    const bool unreachable = outcome.kind == kOutcomeUnreachable ||
                             (outcome.kind == kOutcomeLate && HopwatchIsNaN(outcome.rtt));
    const DWORD responder = unreachable ? 0 : outcome.responder;
    SHopState& state = m_hopStates[outcome.hop];
    SHopwatchHost& hop = m_hops[outcome.hop];
    state.note = unreachable ? outcome.code : kNoteEmpty;
    bool restartFirst = false;
    if (state.first == kHopwatchNone) {
        state.first = responder;
    } else if (!state.split && state.first != 0 && responder != state.first) {
        state.split = true;
        restartFirst = true;
    }
    int tracker = FindTracker(outcome.hop, responder);
    if (tracker < 0)
        tracker = AddTracker(outcome.hop, responder);
    CountRecords(outcome.hop, tracker, responder, state);
    const double value = unreachable ? HopwatchPositiveNaN() : outcome.rtt;
    for (int t = state.trackers; t >= 0; t = m_trackers[t].next)
        AddTo(m_trackerHistories[t], outcome.slot, t == tracker ? value : HopwatchPositiveNaN());
    if (restartFirst) {
        const int first = FindTracker(outcome.hop, state.first);
        if (first >= 0)
            m_trackerHistories[first].reset();
    }
    AddTo(m_hopHistories[outcome.hop], outcome.slot, value);
    if (unreachable) {
        if (outcome.kind != kOutcomeLate)
            ++hop.lost;
        return;
    }
    if (outcome.kind == kOutcomeLate && hop.lost > 0)
        --hop.lost; // the time-out had counted it lost
    HopwatchAddRtt(hop, outcome.rtt);
    if (tracker >= 0)
        HopwatchAddRtt(m_trackers[tracker].figures, outcome.rtt);
}

void CRecordingReplay::AddToHop(DWORD hop, DWORD slot, double value) {
    AddTo(m_hopHistories[hop], slot, value);
    for (int t = m_hopStates[static_cast<int>(hop)].trackers; t >= 0; t = m_trackers[t].next)
        AddTo(m_trackerHistories[t], slot, value);
}

void CRecordingReplay::AddTo(HistoryPtr& history, DWORD slot, double value) {
    if (!history)
        history.reset(new (std::nothrow) CHopwatchHistory());
    if (history)
        history->Add(slot, value);
}

void CRecordingReplay::CopyTo(const HistoryPtr& history, CHopwatchHistory& out) {
    if (history)
        out = *history;
    else
        out.Clear();
}

int CRecordingReplay::FindTracker(DWORD hop, DWORD responder) const {
    if (hop >= static_cast<DWORD>(m_hopStates.GetSize()))
        return -1;
    for (int t = m_hopStates[static_cast<int>(hop)].trackers; t >= 0; t = m_trackers[t].next)
        if (m_trackers[t].responder == responder)
            return t;
    return -1;
}

int CRecordingReplay::AddTracker(DWORD hop, DWORD responder) {
    if (m_trackerCount >= m_trackers.GetSize())
        return -1;
    const int index = m_trackerCount++;
    STracker& tracker = m_trackers[index];
    tracker.hop = hop;
    tracker.responder = responder;
    HopwatchClearFigures(tracker.figures);
    // Appended, so that the hop's trackers stay in the order they appeared.
    int* link = &m_hopStates[static_cast<int>(hop)].trackers;
    while (*link >= 0)
        link = &m_trackers[*link].next;
    *link = index;
    return index;
}

// As the engine decides a record for a reply: none for a hop's first responder, one for it and
// one for the second when they split the hop, one for every new responder after that.
void CRecordingReplay::CountRecords(DWORD hop, int tracker, DWORD responder, SHopState& state) {
    if (state.address == kHopwatchNone) {
        state.address = responder;
        return;
    }
    if (state.address == responder || (tracker >= 0 && m_trackers[tracker].listed))
        return;
    if (state.address != 0) {
        TakeRecord(FindTracker(hop, state.address), state);
        state.address = 0;
    }
    TakeRecord(tracker, state);
}

void CRecordingReplay::TakeRecord(int tracker, SHopState& state) {
    if (m_records >= kHopwatchAlternativeRecords) {
        state.overflow = true;
        return;
    }
    ++m_records;
    if (tracker >= 0)
        m_trackers[tracker].listed = true;
}

BOOL CRecordingReplay::BuildRows(CHopwatchRecordRows& rows) const {
    const int count = m_rows.rows.GetSize();
    if (!rows.SetRowCount(count))
        return FALSE;
    int hop = -1;
    for (int i = 0; i < count; ++i) {
        const SRecordingRow& row = m_rows.rows[i];
        SHopwatchHost& host = rows.Host(i);
        host = SHopwatchHost();
        HopwatchClearFigures(host);
        if (!row.alternative) {
            hop = row.ttl < static_cast<DWORD>(m_hops.GetSize()) ? static_cast<int>(row.ttl) : -1;
            if (hop >= 0) {
                host = m_hops[hop];
                CopyTo(m_hopHistories[static_cast<size_t>(hop)], rows.History(i));
            }
            host.ttl = row.ttl;
            const int note = hop >= 0 ? m_hopStates[hop].note : kNoteNone;
            if (note == kNoteNone)
                host.note = row.note;
            else if (note == kNoteEmpty && m_hopStates[hop].overflow)
                host.note = CHopwatchData::kSplitOverflowNote;
            else if (note == kNoteEmpty)
                host.note.clear();
            else
                host.note = CHopwatchData::GetUnreachableText(static_cast<BYTE>(note));
        } else {
            const int tracker = hop >= 0 ? FindTracker(static_cast<DWORD>(hop), row.address) : -1;
            if (tracker >= 0) {
                // An alternative counts replies only: no sends, no losses.
                host = m_trackers[tracker].figures;
                host.sent = host.lost = 0;
                CopyTo(m_trackerHistories[static_cast<size_t>(tracker)], rows.History(i));
            }
            host.ttl = 0;
            host.note = row.note;
        }
        host.image = row.image;
        host.address = row.address;
        // A lookup still pending when the recording ended never gave a name; the live run's end
        // clears the marker the same way.
        host.name = row.name == kHopwatchLookingUp ? CString() : row.name;
        host.nextAlternative = kHopwatchNone;
        host.version = static_cast<DWORD>(i + 1);
    }
    const DWORD used = m_rows.hopCount < static_cast<DWORD>(m_hops.GetSize())
                           ? m_rows.hopCount
                           : static_cast<DWORD>(m_hops.GetSize());
    rows.SetVisibleRows(static_cast<DWORD>(count));
    rows.SetColumnMaxima(HopwatchColumnMaxima(m_hops.GetData(), used));
    rows.SetDataVersion(rows.GetDataVersion() + 1);
    rows.BumpRowsVersion();
    return TRUE;
}
