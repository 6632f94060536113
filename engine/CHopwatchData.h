// CHopwatchData: the one data object of a route test: settings, records, probe slots, histories,
// workers.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/CHopwatchDNSWorker.h"
#include "engine/CHopwatchHist4Show.h"
#include "engine/CHopwatchHistory.h"
#include "engine/CHopwatchNetwork.h"
#include "engine/CHopwatchOutcomeRing.h"
#include "engine/CHopwatchPingWorker.h"
#include "engine/CHopwatchSystemNetwork.h"
#include "engine/hopwatch_records.h"
#include "engine/probe_method.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"

// Owned by the dialog (or the console) for the life of the program and reused for every run.
// The user-interface thread calls Start, Stop, RequestStop and the snapshot operations; the ping
// worker probes, the DNS worker applies names. Everything not atomic is guarded by one recursive
// data lock; the data lock may be held while a worker's lock is taken, never the reverse.
// A run: Start(host); poll GetTitle / GetVisibleRows / GetRow / GetRowHistory while IsRunning();
// RequestStop() and poll until neither worker runs (outstanding probes time out first); Stop();
// then GetLastErrorCode() != 0 means the run failed, with GetErrorText() saying why.
class CHopwatchData {
public:
    // network: the wire and clock to use, not owned, must outlive this object; nullptr = the
    // system's raw socket and performance counter.
    explicit CHopwatchData(CHopwatchNetwork* network = nullptr);
    virtual ~CHopwatchData();
    CHopwatchData(const CHopwatchData&) = delete;
    CHopwatchData& operator=(const CHopwatchData&) = delete;

    // ---- User-interface thread ----

    // Stops any previous run, takes the settings (brought into their valid ranges), resets the
    // tables, opens the raw socket and starts the workers. FALSE with GetLastErrorCode() and
    // GetErrorText() saying why. Never call with the data lock held.
    BOOL Start(const CString& host);
    // Ends a run at once: stops both workers (waiting for their threads), closes the socket.
    // Records keep their contents. Never call with the data lock held.
    void Stop();
    // Asks the run to finish gracefully: no new probes; the workers end when nothing is pending.
    void RequestStop();
    // Probes per hop of a run (set it before Start); 0, the default, probes until stopped. With a
    // limit the probes go round the route as ever, skipping hops that have had theirs, and once
    // every hop has, the run stops by itself as RequestStop would (IsStopRequested tells).
    void SetProbeLimit(DWORD perHop) { m_probeLimit.store(perHop); }
    DWORD GetProbeLimit() const { return m_probeLimit.load(); }

    // Sizes the outcome ring of the following runs (see ReadOutcomes): room for capacity outcomes,
    // two per probe; 0 (the default) keeps no outcomes. Taken by Start.
    void SetOutcomeCapacity(DWORD capacity) { m_outcomeCapacity.store(capacity); }
    // One reader thread, while a run goes on and after it: takes up to max outcomes in the order
    // the engine produced them; dropped gets how many did not fit into the ring since the
    // previous call. The ring is emptied by the next Start, so the reader must have ended first.
    DWORD ReadOutcomes(SHopwatchOutcome* out, DWORD max, DWORD& dropped) {
        return m_outcomes.Read(out, max, dropped);
    }
    // The clock of the run that Start began: the counter ticks at its start, their frequency per
    // second and the local wall-clock time at that moment, so that an outcome's send ticks map to
    // a wall-clock time.
    void GetRunClock(std::int64_t& startTicks, std::int64_t& frequency,
                     CNTimeStamp& startTime) const;
    // How the run that Start began puts its probes on the wire (after a refused raw socket, the
    // way that needs no rights); the way it tried last when Start failed to open it.
    EHopwatchProbeMethod GetProbeMethod() const { return m_probeMethod.load(); }
    // The error text of a failed open of a way to probe ("Failed to open a raw socket", ...).
    static CString OpenFailureText(EHopwatchProbeMethod method);

    // Copies the title when its version differs from cachedVersion; returns the current version.
    int GetTitle(CString& title, int cachedVersion) const;
    // Copies the record of a display row. FALSE for a row outside the index, or when the record's
    // version equals cachedVersion and force is FALSE.
    BOOL GetRow(int row, SHopwatchHost& host, DWORD cachedVersion, BOOL force) const;
    // Builds the display window of a row's history into display; Build's result, 0 for a bad row.
    int GetRowHistory(int row, CHopwatchHist4Show& display) const;
    // Fills maxima from the hop records in use; FALSE (maxima untouched) when its version equals
    // the data version.
    BOOL GetColumnMaxima(SHopwatchColumnMaxima& maxima) const;
    // Seconds until the youngest pending probe times out; -DBL_MAX when nothing is pending.
    double GetPendingTimeLeft() const;
    CString GetErrorText() const;
    CString GetTargetText() const;

    // Read without the lock.
    DWORD GetLastErrorCode() const { return m_lastError.load(); }
    // The resolved target in host byte order; all ones before it is resolved.
    DWORD GetTargetAddress() const { return m_targetAddress.load(); }
    BOOL IsStopRequested() const { return m_stopRequested.load() != 0; }
    BOOL IsReverseDns() const { return m_reverseDns.load(); }
    DWORD GetIntervalMs() const { return m_intervalMs.load(); }
    DWORD GetTimeoutMs() const { return m_timeoutMs.load(); }
    DWORD GetMaxTtl() const { return m_maxTtl.load(); }
    DWORD GetVisibleRows() const { return m_visibleRows.load(); }
    DWORD GetRowsVersion() const { return m_rowsVersion.load(); }
    DWORD GetDataVersion() const { return m_dataVersion.load(); }
    DWORD GetHopCount() const { return m_hopCount.load(); }
    BOOL IsRouteComplete() const { return m_routeComplete.load() != 0; }
    BOOL IsPingWorkerRunning() const { return m_pingWorker.IsRunning(); }
    BOOL IsDNSWorkerRunning() const { return m_dnsWorker.IsRunning(); }
    // A run is active while the ping worker runs and, with lookups on, the DNS worker too.
    BOOL IsRunning() const;

    // ---- Ping worker thread (wire side) ----

    // The network's precise waits, for the length of the ping worker's run.
    bool BeginPreciseWaits() { return m_network->BeginPreciseWaits(); }
    void EndPreciseWaits() { m_network->EndPreciseWaits(); }
    // Trims and resolves the target, learns the local address, starts the schedule. FALSE with the
    // resolve error stored (the workers are not asked to stop). With a waiter (the ping worker,
    // on its own thread) the resolver is asked on a thread of its own and abandoned when the
    // waiter must stop or a stop is requested: FALSE then, with no error, both workers asked to
    // stop.
    BOOL ResolveTarget(CNWorkerThread* waiter = nullptr);
    // One turn of the ping worker's loop: ReceiveReply, then, whenever a probe is due (also right
    // after datagrams were read), SendDueProbes. 0 = go on, else the error code that ends the run.
    DWORD ServiceWire();
    // Waits for a reply until the next probe is due and processes it and every other datagram
    // already there: 0 = datagrams were read (truncated ones are dropped) or a wait capped at
    // 250 ms ended before the probe was due, 258 = the probe is due, else an error code (stored
    // unless 1359). After 64 datagrams in one wake it sweeps the time-outs and returns 0, so
    // that a flood of foreign ICMP never keeps the loop from its sends and sweeps.
    DWORD ReceiveReply();
    // Sweeps time-outs and sends the next probe (the caller calls it when the probe is due): 0 =
    // sent or nothing to send (stopping, no free slot), else the stored error code.
    DWORD SendProbe();
    // The ping worker's send when a probe is due: SendProbe, then at once every following probe
    // that falls due within a quarter of a millisecond, so that fast runs do not sleep and wake
    // once per probe. Same results as SendProbe.
    DWORD SendDueProbes();
    // Time between two probes in seconds: the interval spread over the hops, but never shorter
    // than one time-out and grace over the slot count, so that a run whose probes all time out
    // still finds its next slot free and keeps its even spacing.
    double GetProbeSpacing() const;
    // Seconds until the next probe is due (0 when due): due by the schedule and its slot free
    // (the slot after the last one is in use until its probe has timed out and its grace has
    // passed); while stopping, until the oldest pending probe times out (0 when nothing is
    // pending), so that stopping does not spin.
    double GetWaitTime();
    // Matches a datagram (IP header included) to its probe and updates the records. Never reads
    // outside buffer[0..length). Takes the data lock.
    void ProcessReply(const BYTE* buffer, int length, std::int64_t receiveTime, DWORD source);

    // ---- DNS worker thread ----

    // Stores a looked-up name (empty when the lookup failed) for every record with this address
    // (network byte order) and extends the title once with the target's name.
    void ApplyHostName(DWORD address, const CString& name);
    // Called as the DNS worker's thread ends: closes its queue, then gives every record whose
    // name is still the look-up marker an empty name and a new version, so that no marker
    // outlives the lookups. Takes the data lock (the worker holds none of its own).
    void EndLookups();

    // Text of a destination-unreachable code; the texts are built once and live until exit.
    static const CString& GetUnreachableText(BYTE code);

    static constexpr DWORD kWaitTimeout = 258;
    static constexpr DWORD kErrorCancelled = 1223;
    static constexpr DWORD kErrorUnexpectedCount = 1359;
    static constexpr DWORD kErrorMessageTooLong = 10040; // WSAEMSGSIZE: a truncated datagram
    // How long a slot whose probe timed out stays unused, so that an answer a little later than
    // the time-out is still matched to its own probe (counted late), not to another hop's.
    static constexpr double kSlotGraceSeconds = 0.5;
    // The note of a split hop whose further responders no longer get records of their own.
    static const wchar_t* const kSplitOverflowNote;

protected:
    // Engine internals, called with the data lock held.
    void ApplySettings(DWORD intervalMs, DWORD timeoutMs, DWORD maxTtl, int reverseDns);
    // Opens the wire as the ProbeMethod setting asks (after ApplySettings); 0 or the error code,
    // with m_probeMethod saying which way was tried last.
    DWORD OpenWire(DWORD setting);
    BOOL ResetData();
    void InitHost(SHopwatchHost& host, CHopwatchHistory& history, DWORD ttl);
    void RebuildRows();
    void SetError(DWORD code, const CString& text);
    void AskWorkersToStop();
    // The next alternative record, at the head of a chain before follower; all ones when the
    // table is full (the caller then counts the responder in the hop's aggregate record).
    DWORD AddAlternative(DWORD follower);
    // SendProbe, telling whether a probe went out.
    DWORD SendNextProbe(bool& sent);
    bool PrepareProbe(DWORD& slot, BYTE* buffer, int& length, int& ttl, DWORD& destination);
    // Moves the next hop to the first, from it on, that is below the probe limit; FALSE when
    // every hop has had its probes.
    bool NextHopBelowLimit();
    void RecordSent(DWORD slot, std::int64_t sendTime);
    // A send that failed with an error that passes with the network (RecordSent done): the probe
    // counts as lost at once, with the system's text of the error as its hop's note.
    void RecordSendFailure(DWORD slot, DWORD error);
    void SweepTimeouts(std::int64_t now);
    // Counts a probe that ended without an answer (timed out, or never went out) as lost at its
    // hop, or as void beyond the route's end; the slot leaves the pending list first.
    void CountLost(DWORD slot);
    // The tick count from which a slot may carry a new probe: at once when free or answered;
    // for a pending or timed-out probe its time-out and the grace after it.
    std::int64_t SlotFreeTime(DWORD slot) const;
    void UnlinkPending(DWORD slot);
    void ProcessMatchedReply(DWORD slot, bool late, bool unreachable, const CString& note,
                             DWORD responder, std::int64_t receiveTime);
    BOOL QueueLookup(DWORD address);
    // The value for slot in the history of the hop and of every alternative in its chain; the
    // second form skips the hop's own history.
    void AddToChainHistories(DWORD hop, DWORD slot, double value);
    void AddToAlternativeHistories(DWORD hop, DWORD slot, double value);
    std::int64_t SecondsToTicks(double seconds) const;
    double TicksToSeconds(std::int64_t ticks) const;
    // Hands an outcome of slot's probe on through the outcome ring (data lock held).
    void PushOutcome(DWORD slot, EHopwatchOutcomeKind kind, std::int64_t sendTime, double rtt = 0.0,
                     DWORD responder = 0, BYTE code = 0);

    CHopwatchSystemNetwork m_systemNetwork;
    CHopwatchNetwork* m_network;

    std::atomic<int> m_stopRequested{0};
    mutable std::recursive_mutex m_lock;
    CString m_targetText;
    std::atomic<DWORD> m_targetAddress{kHopwatchNone}; // host byte order
    std::atomic<std::int32_t> m_titleVersion{0};
    CString m_title;
    std::atomic<DWORD> m_intervalMs{1000};
    std::atomic<DWORD> m_timeoutMs{5000};
    std::atomic<DWORD> m_packetSize{64};
    std::atomic<DWORD> m_maxTtl{32};
    std::atomic<DWORD> m_maxSplits{kHopwatchAlternativeRecords};
    std::atomic<DWORD> m_probeLimit{0}; // probes per hop; 0 = no limit
    std::atomic<BOOL> m_reverseDns{TRUE};
    std::atomic<DWORD> m_localAddress{kHopwatchNone}; // host byte order
    WORD m_probeId = 0; // identifier of the probes: the low 16 bits of the process id (ping worker)
    NArray<SHopwatchHost> m_hops;
    NArray<SHopwatchHost> m_alternatives;
    NArray<DWORD> m_rows;
    NArray<CHopwatchHistory> m_hopHistories;
    NArray<CHopwatchHistory> m_altHistories;
    std::atomic<DWORD> m_dataVersion{0};
    NArray<SHopwatchPing> m_pings;
    std::atomic<DWORD> m_lastSlot{0xFFFF};
    DWORD m_pendingHead = kHopwatchNone;
    DWORD m_pendingTail = kHopwatchNone;
    std::atomic<int> m_routeComplete{0};
    std::atomic<DWORD> m_hopCount{0};
    std::atomic<DWORD> m_nextHop{0};
    std::atomic<DWORD> m_altCount{0};
    std::atomic<DWORD> m_rowsVersion{0};
    std::atomic<DWORD> m_visibleRows{0};
    std::int64_t m_prevSlotTime = 0;
    std::int64_t m_curSlotTime = 0;
    std::atomic<DWORD> m_lastError{0};
    CString m_errorText;
    // Hops (by number) where a new responder found no alternative record left and was counted
    // in the hop's aggregate record only; 1 = the hop's note says so.
    NArray<BYTE> m_splitOverflow;
    // The note of the last failed send, kept so that an outage does not build the same text
    // for every probe it loses (ping worker, data lock).
    DWORD m_sendErrorCode = 0;
    CString m_sendErrorNote;
    std::atomic<EHopwatchProbeMethod> m_probeMethod{kProbeRaw};
    std::atomic<DWORD> m_outcomeCapacity{0};
    CHopwatchOutcomeRing m_outcomes;
    std::int64_t m_runStartTicks = 0; // guarded by the data lock
    CNTimeStamp m_runStartTime;       // guarded by the data lock
    CHopwatchDNSWorker m_dnsWorker;
    CHopwatchPingWorker m_pingWorker;
};
