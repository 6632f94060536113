// CHopwatchRecorder: drains a run's outcome ring into its recording and to the listeners.
#include "recording/CHopwatchRecorder.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "hopwatch_version.h"
#include "platform/clock_time.h"
#include "recording/recordings_folder.h"
#include "settings/settings_globals.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kDrainMs = 100;
constexpr auto kWritePeriod = std::chrono::milliseconds(500);
// Rows can change without their counter moving (an image, say); they are compared this often
// all the same.
constexpr auto kRowsPeriod = std::chrono::seconds(1);
constexpr auto kPrunePeriod = std::chrono::minutes(10);
// How long the end waits for the engine's workers to finish their last answers and names.
constexpr auto kWorkersWait = std::chrono::seconds(5);
constexpr int kBatch = 1024;
// The frame buffer: written out well before it fills, so that outcomes never make it grow.
constexpr std::size_t kBufferBytes = 256 * 1024;
constexpr std::size_t kWriteAtBytes = 192 * 1024;

bool SameRow(const SRecordingRow& a, const SRecordingRow& b) {
    // A hop's note follows its every answer and is counted from the outcomes; an
    // alternative's note is set once, so it is part of the route.
    return a.alternative == b.alternative && a.ttl == b.ttl && a.image == b.image &&
           a.address == b.address && a.name == b.name && (!a.alternative || a.note == b.note);
}

} // namespace

CHopwatchRecorder::CHopwatchRecorder(CHopwatchData& data) : m_data(data) {
    SizeRing();
}

DWORD CHopwatchRecorder::RingCapacityFor(DWORD intervalMs, DWORD maxTtl) {
    // Two outcomes a probe, a probe per hop and interval.
    const double perSecond =
        2.0 * (maxTtl < 1 ? 1 : maxTtl) * 1000.0 / (intervalMs < 1 ? 1 : intervalMs);
    const double wanted = perSecond * kRingSeconds;
    DWORD capacity = kMinRingCapacity;
    while (capacity < wanted && capacity < kMaxRingCapacity)
        capacity <<= 1;
    return capacity;
}

void CHopwatchRecorder::SizeRing() {
    m_data.SetOutcomeCapacity(RingCapacityFor(g_dwPingIntervalMS, g_dwMaxTTL));
}

CHopwatchRecorder::~CHopwatchRecorder() {
    Finish();
}

void CHopwatchRecorder::AddListener(CHopwatchOutcomeListener* listener) {
    std::lock_guard<std::mutex> guard(m_listenerLock);
    if (listener != nullptr &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void CHopwatchRecorder::RemoveListener(CHopwatchOutcomeListener* listener) {
    std::lock_guard<std::mutex> guard(m_listenerLock);
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener),
                      m_listeners.end());
}

BOOL CHopwatchRecorder::Begin(EMode mode, const CString& path, std::uint64_t budgetBytes) {
    Finish();
    m_mode = mode;
    m_requestedPath = path;
    m_budgetBytes = budgetBytes;
    m_error.store(0);
    m_bytesWritten.store(0);
    m_outcomesRecorded.store(0);
    m_droppedTotal.store(0);
    {
        std::lock_guard<std::mutex> guard(m_pathLock);
        m_path.clear();
    }
    return Start();
}

void CHopwatchRecorder::RequestFinish() {
    RequestStop();
}

void CHopwatchRecorder::Finish() {
    Stop(kWaitForever);
}

BOOL CHopwatchRecorder::Sync(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_syncLock);
    const std::uint64_t asked = ++m_syncAsked;
    PostWork();
    return m_synced.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return m_syncDone >= asked || !IsRunning(); }) &&
                   m_syncDone >= asked
               ? TRUE
               : FALSE;
}

CString CHopwatchRecorder::GetPath() const {
    std::lock_guard<std::mutex> guard(m_pathLock);
    return m_path;
}

DWORD CHopwatchRecorder::Run() {
    std::int64_t startTicks = 0;
    std::int64_t frequency = 0;
    CNTimeStamp startTime;
    m_data.GetRunClock(startTicks, frequency, startTime);
    {
        std::lock_guard<std::mutex> guard(m_listenerLock);
        for (CHopwatchOutcomeListener* listener : m_listeners)
            listener->OnRunStart(startTicks, frequency, startTime);
    }
    m_titleVersion = -1;
    m_title.clear();
    m_target = kHopwatchNone;
    m_rowsVersion = kHopwatchNone;
    m_rows = SRecordingRows();
    if (!m_batch.SetSize(kBatch))
        return 0;
    if (m_mode != kNoFile) {
        if (!m_codec.Reset(startTicks, frequency)) {
            Fail(8); // ERROR_NOT_ENOUGH_MEMORY
        } else {
            OpenFile();
        }
    }
    if (Recording()) {
        m_buffer.clear();
        m_buffer.reserve(kBufferBytes);
        WriteRecordingPrefix(m_buffer);
        m_frameStart = BeginRecordingFrame(m_buffer);
        SRecordingHeader header;
        header.programVersion = HOPWATCH_VERSION_TEXT_W;
        header.startTime = startTime;
        header.startTicks = startTicks;
        header.frequency = frequency;
        header.targetText = m_data.GetTargetText();
        header.intervalMs = m_data.GetIntervalMs();
        header.timeoutMs = m_data.GetTimeoutMs();
        header.maxTtl = m_data.GetMaxTtl();
        header.reverseDns = m_data.IsReverseDns() ? 1 : 0;
        header.exportIcons = g_bExportIcons != 0 ? 1 : 0;
        header.probeMethod = m_data.GetProbeMethod();
        // The start's UTC from its local time and the zone's offset now.
        header.startUtc = CNTimeStamp(static_cast<std::uint64_t>(
            static_cast<std::int64_t>(startTime.GetValue()) - CNTimeStamp::LocalOffsetFromGMT()));
        header.probeLimit = m_data.GetProbeLimit();
        header.runMs = m_runSeconds > 0 ? static_cast<DWORD>(m_runSeconds * 1000.0 + 0.5) : 0;
        WriteHeaderRecord(m_buffer, header);
        WriteOut(); // the header is on the disk before the first probe's outcome
    }

    Clock::time_point lastWrite = Clock::now();
    Clock::time_point lastRows = lastWrite;
    Clock::time_point lastPrune = lastWrite;
    for (;;) {
        const bool stopping = WaitForWork(kDrainMs) == 0;
        const bool syncing = TakeWork() != 0;
        if (stopping)
            break;
        std::uint64_t asked = 0;
        if (syncing) {
            std::lock_guard<std::mutex> guard(m_syncLock);
            asked = m_syncAsked;
        }
        Drain();
        const Clock::time_point now = Clock::now();
        const bool rowsDue = now - lastRows >= kRowsPeriod;
        if (rowsDue)
            lastRows = now;
        NoteRoute(rowsDue);
        if (syncing || now - lastWrite >= kWritePeriod) {
            lastWrite = now;
            WriteOut();
        }
        if (syncing) {
            std::lock_guard<std::mutex> guard(m_syncLock);
            m_syncDone = asked;
            m_synced.notify_all();
        }
        if (m_mode == kInFolder && Recording() && now - lastPrune >= kPrunePeriod) {
            lastPrune = now;
            PruneRecordings(m_folder, m_budgetBytes, m_path.substr(m_folder.size()));
        }
    }

    WaitForWorkers();
    Drain();
    NoteRoute(true);
    if (Recording()) {
        SRecordingEnd end;
        end.stopTime = CNTimeStamp::Now();
        end.stopUtc = CNTimeStamp(PlatformSystemTimeUtc());
        end.errorCode = m_data.GetLastErrorCode();
        if (end.errorCode != 0)
            end.errorText = m_data.GetErrorText();
        WriteEndRecord(m_buffer, end);
        WriteOut();
        m_file.Close();
    }
    // Everything is drained and written now: a Sync still waiting is answered.
    std::lock_guard<std::mutex> guard(m_syncLock);
    m_syncDone = m_syncAsked;
    m_synced.notify_all();
    return 0;
}

void CHopwatchRecorder::OpenFile() {
    CString path;
    DWORD error = 0;
    if (m_mode == kToFile) {
        path = m_requestedPath;
        error = m_file.Create(path, FALSE);
    } else {
        CString folder;
        if (!PlatformRecordingsFolder(folder, error) ||
            (error = PlatformMakePrivateFolder(folder)) != 0) {
            path = folder;
        } else {
            m_folder = folder;
            std::int64_t ticks = 0;
            std::int64_t frequency = 0;
            CNTimeStamp start;
            m_data.GetRunClock(ticks, frequency, start);
            const CString name = RecordingFileName(start, m_data.GetTargetText());
            // Room for the new one first; it is the one being written from then on.
            PruneRecordings(folder, m_budgetBytes, CString());
            path = folder + name;
            error = CreateRecordingFile(folder, name, m_file, path);
        }
    }
    {
        std::lock_guard<std::mutex> guard(m_pathLock);
        m_path = path;
    }
    if (error != 0)
        Fail(error);
}

void CHopwatchRecorder::Drain() {
    for (;;) {
        DWORD dropped = 0;
        const DWORD count =
            m_data.ReadOutcomes(m_batch.GetData(), static_cast<DWORD>(kBatch), dropped);
        if (count == 0 && dropped == 0)
            return;
        if (dropped != 0)
            m_droppedTotal.fetch_add(dropped);
        if (Recording()) {
            if (dropped != 0)
                WriteDroppedRecord(m_buffer, dropped);
            CRecordingBytesOut out(m_buffer);
            for (DWORD i = 0; i < count; ++i) {
                if (m_buffer.size() >= kWriteAtBytes)
                    WriteOut();
                m_codec.Encode(m_batch[static_cast<int>(i)], out);
            }
            m_outcomesRecorded.fetch_add(count);
        }
        {
            std::lock_guard<std::mutex> guard(m_listenerLock);
            for (CHopwatchOutcomeListener* listener : m_listeners)
                listener->OnOutcomes(m_batch.GetData(), count, dropped);
        }
        if (count < static_cast<DWORD>(kBatch))
            return;
    }
}

// The title, the resolved target and the rows, written when they changed.
void CHopwatchRecorder::NoteRoute(bool force) {
    if (!Recording())
        return;
    const int version = m_data.GetTitle(m_titleRead, m_titleVersion);
    if (version != m_titleVersion) {
        m_titleVersion = version;
        if (m_titleRead != m_title) {
            m_title = m_titleRead;
            WriteTitleRecord(m_buffer, m_title);
        }
    }
    const DWORD target = m_data.GetTargetAddress();
    if (target != kHopwatchNone && target != m_target) {
        m_target = target;
        WriteTargetRecord(m_buffer, HopwatchSwapOrder(target));
    }
    const DWORD rowsVersion = m_data.GetRowsVersion();
    if (!force && rowsVersion == m_rowsVersion)
        return;
    m_rowsVersion = rowsVersion;
    const DWORD visible = m_data.GetVisibleRows();
    m_current.hopCount = m_data.GetHopCount();
    if (!m_current.rows.SetSize(static_cast<int>(visible)))
        return;
    int count = 0;
    for (; count < static_cast<int>(visible); ++count) {
        if (!m_data.GetRow(count, m_host, 0, TRUE))
            break;
        SRecordingRow& row = m_current.rows[count];
        // Row 0 is always hop 0; after it only an alternative has no hop number.
        row.alternative = count > 0 && m_host.ttl == 0;
        row.ttl = m_host.ttl;
        row.image = m_host.image;
        row.address = m_host.address;
        row.name = m_host.name;
        row.note = m_host.note;
    }
    m_current.rows.SetSize(count);
    if (!RowsChanged())
        return;
    WriteRowsRecord(m_buffer, m_current);
    m_rows = m_current;
}

bool CHopwatchRecorder::RowsChanged() const {
    if (m_current.hopCount != m_rows.hopCount || m_current.rows.GetSize() != m_rows.rows.GetSize())
        return true;
    for (int i = 0; i < m_current.rows.GetSize(); ++i)
        if (!SameRow(m_current.rows[i], m_rows.rows[i]))
            return true;
    return false;
}

void CHopwatchRecorder::WriteOut() {
    if (!Recording() || m_buffer.size() <= m_frameStart + kRecordingFrameHeaderBytes)
        return;
    EndRecordingFrame(m_buffer, m_frameStart);
    // One write per frame, so that a crash cuts the file at most inside the last one.
    DWORD error = m_file.Write(m_buffer.data(), m_buffer.size());
    if (error == 0)
        error = m_file.Flush();
    if (error != 0) {
        Fail(error);
        return;
    }
    m_bytesWritten.fetch_add(m_buffer.size());
    m_buffer.clear();
    m_frameStart = BeginRecordingFrame(m_buffer);
}

void CHopwatchRecorder::Fail(DWORD error) {
    DWORD none = 0;
    m_error.compare_exchange_strong(none, error);
    // What was written stays: it reads up to the last whole frame.
    m_file.Close();
    m_buffer.clear();
}

void CHopwatchRecorder::WaitForWorkers() {
    const Clock::time_point until = Clock::now() + kWorkersWait;
    while ((m_data.IsPingWorkerRunning() || m_data.IsDNSWorkerRunning()) && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
