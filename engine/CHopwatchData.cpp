// CHopwatchData: run start and stop, table reset, row index, snapshots for the display, host names.
#include "engine/CHopwatchData.h"

#include <cfloat>

#include "engine/host_figures.h"
#include "platform/last_error.h"
#include "settings/settings_globals.h"

namespace {
constexpr DWORD kErrorNotEnoughMemory = 8;

DWORD Clamp(DWORD value, DWORD low, DWORD high) {
    return value < low ? low : (value > high ? high : value);
}

// A failure must never be stored as code 0, which the dialog reads as "no error".
DWORD LastErrorOr(DWORD fallback) {
    DWORD code = GetLastSystemError();
    return code != 0 ? code : fallback;
}
} // namespace

CHopwatchData::CHopwatchData(CHopwatchNetwork* network)
    : m_network(network != nullptr ? network : &m_systemNetwork),
      m_probeId(static_cast<WORD>(m_network->ProcessId() & 0xFFFF)), m_dnsWorker(this),
      m_pingWorker(this) {}

CHopwatchData::~CHopwatchData() {
    Stop();
}

BOOL CHopwatchData::Start(const CString& host) {
    Stop();
    m_lastError.store(0);
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_errorText.clear();
    m_targetText = host;
    m_title = host;
    ApplySettings(g_dwPingIntervalMS, g_dwPingTimeoutMS, g_dwMaxTTL, g_bReverseDNS);
    if (!ResetData()) {
        SetError(kErrorNotEnoughMemory, L"Not enough memory to start the test");
        return FALSE;
    }
    m_runStartTicks = m_network->Now();
    m_runStartTime = CNTimeStamp::Now();
    DWORD error = OpenWire(g_dwProbeMethod);
    if (error != 0) {
        SetError(error, OpenFailureText(m_probeMethod.load()));
        return FALSE;
    }
    // The workers take the data lock only after they start; holding it here is safe because a
    // worker thread that blocks on it merely waits until Start returns.
    if (m_reverseDns.load() && !m_network->StartWorker(m_dnsWorker)) {
        SetError(LastErrorOr(kErrorNotEnoughMemory), L"Failed to start DNS worker");
        return FALSE;
    }
    if (!m_network->StartWorker(m_pingWorker)) {
        SetError(LastErrorOr(kErrorNotEnoughMemory), L"Failed to start ping worker");
        return FALSE;
    }
    return TRUE;
}

// The raw socket where the setting allows it; the way that needs no rights when the setting asks
// for it, or when it leaves the choice and the raw socket is refused for want of rights.
DWORD CHopwatchData::OpenWire(DWORD setting) {
    const EHopwatchProbeMethod unprivileged = m_network->UnprivilegedMethod();
    // Up to one probe per hop and interval is out within the time-out, and those of the salvo
    // under way; the slots bound them all.
    const std::uint64_t salvos = m_timeoutMs.load() / m_intervalMs.load() + 2;
    const std::uint64_t outstanding = salvos * m_maxTtl.load();
    const DWORD maxOutstanding =
        outstanding < kHopwatchSlotCount ? static_cast<DWORD>(outstanding) : kHopwatchSlotCount;
    const EHopwatchProbeMethod first = setting == kProbeSettingSystem ? unprivileged : kProbeRaw;
    m_probeMethod.store(first);
    DWORD error = m_network->Open(first, m_timeoutMs.load(), maxOutstanding);
    if (error != 0 && setting != kProbeSettingRaw && setting != kProbeSettingSystem &&
        m_network->IsAccessDenied(error)) {
        m_probeMethod.store(unprivileged);
        error = m_network->Open(unprivileged, m_timeoutMs.load(), maxOutstanding);
    }
    return error;
}

CString CHopwatchData::OpenFailureText(EHopwatchProbeMethod method) {
    switch (method) {
    case kProbeDatagram:
        return L"Failed to open an ICMP datagram socket";
    case kProbeSystem:
        return L"Failed to open the system's ICMP service";
    default:
        return L"Failed to open a raw socket";
    }
}

void CHopwatchData::Stop() {
    m_dnsWorker.Stop(CNWorkerThread::kWaitForever);
    m_pingWorker.Stop(CNWorkerThread::kWaitForever);
    DWORD error = m_network->Close();
    if (error != 0)
        m_lastError.store(error);
    m_targetAddress.store(kHopwatchNone);
    m_titleVersion.store(0);
    m_stopRequested.store(0);
}

void CHopwatchData::GetRunClock(std::int64_t& startTicks, std::int64_t& frequency,
                                CNTimeStamp& startTime) const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    startTicks = m_runStartTicks;
    frequency = m_network->Frequency();
    startTime = m_runStartTime;
}

void CHopwatchData::PushOutcome(DWORD slot, EHopwatchOutcomeKind kind, std::int64_t sendTime,
                                double rtt, DWORD responder, BYTE code) {
    SHopwatchOutcome outcome;
    outcome.sendTime = sendTime;
    outcome.rtt = rtt;
    outcome.responder = responder;
    outcome.hop = static_cast<WORD>(m_pings[static_cast<int>(slot)].hop);
    outcome.slot = static_cast<WORD>(slot);
    outcome.kind = kind;
    outcome.code = code;
    m_outcomes.Push(outcome);
}

void CHopwatchData::RequestStop() {
    m_stopRequested.store(1);
    // A run still resolving its target has nothing pending: it ends at once, without waiting
    // for the resolver.
    m_pingWorker.WakeCall();
}

BOOL CHopwatchData::IsRunning() const {
    if (!m_pingWorker.IsRunning())
        return FALSE;
    return !m_reverseDns.load() || m_dnsWorker.IsRunning();
}

// Values loaded from the registry or elsewhere may lie outside what the options pages allow; a run
// with a zero interval or a TTL beyond 256 would divide by zero or overrun the TTL field, so they
// are brought into range here without touching the settings themselves.
void CHopwatchData::ApplySettings(DWORD intervalMs, DWORD timeoutMs, DWORD maxTtl, int reverseDns) {
    m_intervalMs.store(intervalMs < kMinPingIntervalMS ? kMinPingIntervalMS : intervalMs);
    m_timeoutMs.store(timeoutMs < kMinPingTimeoutMS ? kMinPingTimeoutMS : timeoutMs);
    m_maxTtl.store(Clamp(maxTtl, kMinMaxTTL, kMaxMaxTTL));
    m_reverseDns.store(reverseDns != 0 ? TRUE : FALSE);
    m_packetSize.store(64);
}

BOOL CHopwatchData::ResetData() {
    const int maxTtl = static_cast<int>(m_maxTtl.load());
    const int maxSplits = static_cast<int>(m_maxSplits.load());
    // The row index is sized once for its largest possible length so that growing the route
    // during the run never allocates.
    if (!m_hops.SetSize(maxTtl) || !m_hopHistories.SetSize(maxTtl) ||
        !m_alternatives.SetSize(maxSplits) || !m_altHistories.SetSize(maxSplits) ||
        !m_pings.SetSize(static_cast<int>(kHopwatchSlotCount)) ||
        !m_rows.SetSize(maxTtl + maxSplits) || !m_splitOverflow.SetSize(maxTtl) ||
        !m_outcomes.Reset(m_outcomeCapacity.load()))
        return FALSE;
    for (int i = 0; i < maxTtl; ++i)
        m_splitOverflow[i] = 0;
    for (int i = 0; i < maxTtl; ++i)
        InitHost(m_hops[i], m_hopHistories[i], static_cast<DWORD>(i));
    for (int i = 0; i < maxSplits; ++i)
        InitHost(m_alternatives[i], m_altHistories[i], 0);
    for (int i = 0; i < m_pings.GetSize(); ++i)
        m_pings[i] = SHopwatchPing();
    m_pendingHead = m_pendingTail = kHopwatchNone;
    m_routeComplete.store(0);
    m_nextHop.store(0);
    m_hopCount.store(1);
    m_altCount.store(0);
    RebuildRows();
    return TRUE;
}

void CHopwatchData::InitHost(SHopwatchHost& host, CHopwatchHistory& history, DWORD ttl) {
    const DWORD version = host.version + 1;
    host = SHopwatchHost();
    host.version = version;
    host.ttl = ttl;
    HopwatchClearFigures(host);
    history.Clear();
}

void CHopwatchData::RebuildRows() {
    const DWORD hopCount = m_hopCount.load();
    const DWORD altCount = m_altCount.load();
    m_rows.SetSize(static_cast<int>(hopCount + altCount));
    const int capacity = m_rows.GetSize();
    int appended = 0;
    int known = 0;
    for (DWORD hop = 0; hop < hopCount && appended < capacity; ++hop) {
        m_rows[appended++] = hop;
        if (m_hops[static_cast<int>(hop)].address != kHopwatchNone)
            known = appended;
        DWORD alt = m_hops[static_cast<int>(hop)].nextAlternative;
        for (DWORD steps = 0; alt < altCount && steps < altCount && appended < capacity; ++steps) {
            m_rows[appended++] = kHopwatchAltRowFlag | alt;
            alt = m_alternatives[static_cast<int>(alt)].nextAlternative;
        }
    }
    m_rows.SetSize(appended);
    m_visibleRows.store(static_cast<DWORD>(appended < known + 2 ? appended : known + 2));
    ++m_rowsVersion;
    ++m_dataVersion;
}

void CHopwatchData::SetError(DWORD code, const CString& text) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_lastError.store(code);
    m_errorText = text;
    AskWorkersToStop();
}

void CHopwatchData::AskWorkersToStop() {
    m_dnsWorker.RequestStop();
    m_pingWorker.RequestStop();
}

BOOL CHopwatchData::QueueLookup(DWORD address) {
    return m_dnsWorker.QueueLookup(address);
}

int CHopwatchData::GetTitle(CString& title, int cachedVersion) const {
    if (cachedVersion == m_titleVersion.load())
        return cachedVersion;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    title = m_title;
    return m_titleVersion.load();
}

// The record a row entry names, or nullptr when the entry lies beyond the records in use.
static const SHopwatchHost* RowRecord(DWORD entry, const NArray<SHopwatchHost>& hops,
                                      DWORD hopCount, const NArray<SHopwatchHost>& alts,
                                      DWORD altCount, int* index, bool* alternative) {
    const bool alt = (entry & kHopwatchAltRowFlag) != 0;
    const DWORD i = entry & ~kHopwatchAltRowFlag;
    const NArray<SHopwatchHost>& table = alt ? alts : hops;
    if (i >= (alt ? altCount : hopCount) || i >= static_cast<DWORD>(table.GetSize()))
        return nullptr;
    *index = static_cast<int>(i);
    *alternative = alt;
    return &table[static_cast<int>(i)];
}

BOOL CHopwatchData::GetRow(int row, SHopwatchHost& host, DWORD cachedVersion, BOOL force) const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (row < 0 || row >= m_rows.GetSize())
        return FALSE;
    int index = 0;
    bool alt = false;
    const SHopwatchHost* record = RowRecord(m_rows[row], m_hops, m_hopCount.load(), m_alternatives,
                                            m_altCount.load(), &index, &alt);
    if (record == nullptr || (!force && record->version == cachedVersion))
        return FALSE;
    host = *record;
    return TRUE;
}

int CHopwatchData::GetRowHistory(int row, CHopwatchHist4Show& display) const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (row < 0 || row >= m_rows.GetSize())
        return 0;
    int index = 0;
    bool alt = false;
    if (RowRecord(m_rows[row], m_hops, m_hopCount.load(), m_alternatives, m_altCount.load(), &index,
                  &alt) == nullptr)
        return 0;
    const NArray<CHopwatchHistory>& histories = alt ? m_altHistories : m_hopHistories;
    if (index >= histories.GetSize())
        return 0;
    return display.Build(histories[index]);
}

BOOL CHopwatchData::GetColumnMaxima(SHopwatchColumnMaxima& maxima) const {
    if (maxima.version == m_dataVersion.load())
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const DWORD hopCount = m_hopCount.load();
    const DWORD size = static_cast<DWORD>(m_hops.GetSize());
    maxima = HopwatchColumnMaxima(m_hops.GetData(), hopCount < size ? hopCount : size);
    maxima.version = m_dataVersion.load();
    return TRUE;
}

double CHopwatchData::GetPendingTimeLeft() const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    // The list is in send order, so the youngest pending probe, which times out last, is the tail.
    if (m_pendingTail == kHopwatchNone)
        return -DBL_MAX;
    const std::int64_t age = m_network->Now() - m_pings[static_cast<int>(m_pendingTail)].time;
    return m_timeoutMs.load() / 1000.0 - TicksToSeconds(age);
}

CString CHopwatchData::GetErrorText() const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return m_errorText;
}

CString CHopwatchData::GetTargetText() const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return m_targetText;
}

void CHopwatchData::ApplyHostName(DWORD address, const CString& name) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (m_targetAddress.load() == HopwatchSwapOrder(address) && m_titleVersion.load() >= 0 &&
        !name.empty()) {
        if (name != m_targetText)
            m_title += L" -> " + name;
        // The sign marks that the title is final for this run.
        m_titleVersion.store(static_cast<std::int32_t>(0x80000000u));
    }
    bool changed = false;
    auto apply = [&](NArray<SHopwatchHost>& table, DWORD count) {
        for (DWORD i = 0; i < count && i < static_cast<DWORD>(table.GetSize()); ++i) {
            SHopwatchHost& host = table[static_cast<int>(i)];
            if (host.address == address && host.name != name) {
                host.name = name;
                ++host.version;
                changed = true;
            }
        }
    };
    apply(m_hops, m_hopCount.load());
    apply(m_alternatives, m_altCount.load());
    if (changed)
        ++m_rowsVersion;
}

void CHopwatchData::EndLookups() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    // Closed under the data lock, where the ping worker sets a marker and queues its lookup in
    // one step: a marker is set either before this (and cleared below) or not at all.
    m_dnsWorker.CloseQueue();
    bool changed = false;
    for (NArray<SHopwatchHost>* table : {&m_hops, &m_alternatives}) {
        for (int i = 0; i < table->GetSize(); ++i) {
            SHopwatchHost& host = (*table)[i];
            if (host.name == kHopwatchLookingUp) {
                host.name.clear();
                ++host.version;
                changed = true;
            }
        }
    }
    if (changed)
        ++m_rowsVersion;
}

std::int64_t CHopwatchData::SecondsToTicks(double seconds) const {
    const std::int64_t frequency = m_network->Frequency();
    if (frequency <= 0)
        return 0;
    return static_cast<std::int64_t>(seconds * static_cast<double>(frequency));
}

double CHopwatchData::TicksToSeconds(std::int64_t ticks) const {
    const std::int64_t frequency = m_network->Frequency();
    if (frequency <= 0)
        return 0.0;
    return static_cast<double>(ticks) / static_cast<double>(frequency);
}
