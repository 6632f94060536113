// CHopwatchRecorder: the thread that drains a run's outcome ring, writes the run's recording and
// hands every batch to the registered listeners.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "engine/CHopwatchData.h"
#include "engine/CHopwatchOutcomeListener.h"
#include "foundation/CNWorkerThread.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "platform/recording_files.h"
#include "recording/CRecordingOutcomeCodec.h"
#include "recording/recording_format.h"

// One per data model, for every run of it. The owner (user-interface thread): after a
// successful data.Start, Begin; when the run has ended, RequestFinish (or Finish after
// data.Stop); Finish always before the next data.Start, since Start empties the ring.
//
// The thread is the ring's one reader. Every 100 ms it takes what the ring holds, encodes it
// into the file's buffer (with the count of outcomes the ring had to drop), passes the batch to
// the listeners and notes changes of the title, the target and the rows; every half second it
// writes a frame and flushes it to the disk, so that a crash loses at most the last second. It
// allocates nothing per outcome. A file that cannot be created or written stops the recording,
// never the run: GetError says why. The ping worker never waits for it.
class CHopwatchRecorder : public CNWorkerThread {
public:
    // Where the outcomes go besides the listeners.
    enum EMode {
        kNoFile,   // nowhere: the listeners alone (recording switched off)
        kInFolder, // a new file in the user's recordings folder, kept to its budget
        kToFile,   // the file the user named (replaced if it exists)
    };
    // The ring holds the outcomes of this many seconds of the run's schedule, so that a slow disk
    // drops nothing, within these bounds.
    static constexpr DWORD kRingSeconds = 4;
    static constexpr DWORD kMinRingCapacity = 1u << 12;
    static constexpr DWORD kMaxRingCapacity = 1u << 16;

    // data must outlive the recorder. Sizes data's outcome ring as SizeRing does.
    explicit CHopwatchRecorder(CHopwatchData& data);
    ~CHopwatchRecorder() override;

    // A listener (not owned) gets OnRunStart and every batch of each run, on the recorder's
    // thread; it must stay until removed. Any thread; the listener is not called after
    // RemoveListener returns.
    void AddListener(CHopwatchOutcomeListener* listener);
    void RemoveListener(CHopwatchOutcomeListener* listener);

    // Sizes data's outcome ring for the next Start from the settings that Start will take
    // (interval and maximum TTL). Call before each data.Start.
    void SizeRing();
    static DWORD RingCapacityFor(DWORD intervalMs, DWORD maxTtl);

    // The run length the user asked for, for the recording's header (< 0: none). Before Begin.
    void SetRunLength(double seconds) { m_runSeconds = seconds; }

    // Starts recording the run data.Start has just begun. path names the file for kToFile;
    // budgetBytes bounds the folder for kInFolder. FALSE when the thread could not start (the
    // run goes on unrecorded).
    BOOL Begin(EMode mode, const CString& path, std::uint64_t budgetBytes);
    // Lets the recording end once the engine's workers have ended: the last outcomes, the final
    // rows and the run's end are written and the file closed; the thread then ends. Returns at
    // once.
    void RequestFinish();
    // RequestFinish, then waits for the thread.
    void Finish();
    // Waits (at most timeoutMs) until every outcome the engine gave before the call has been
    // taken from the ring, passed on and, when recording, written and flushed in a frame of its
    // own. FALSE when the thread is not running or the time ran out.
    BOOL Sync(DWORD timeoutMs = 10000);

    // The system's code of the failure that stopped the recording, 0 while it goes well. Any
    // thread.
    DWORD GetError() const { return m_error.load(); }
    // The recording's file, or the folder that could not be made, once the thread has got that
    // far; empty before and without a file. Any thread.
    CString GetPath() const;
    // What reached the file so far: bytes, and outcomes encoded.
    std::uint64_t GetBytesWritten() const { return m_bytesWritten.load(); }
    std::uint64_t GetOutcomesRecorded() const { return m_outcomesRecorded.load(); }
    std::uint64_t GetDropped() const { return m_droppedTotal.load(); }

protected:
    DWORD Run() override;

private:
    void OpenFile();
    void Drain();
    void NoteRoute(bool force);
    bool RowsChanged() const;
    void WriteOut();
    void Fail(DWORD error);
    void WaitForWorkers();
    bool Recording() const { return m_file.IsOpen(); }

    CHopwatchData& m_data;
    std::mutex m_listenerLock; // guards m_listeners and every call of a listener
    std::vector<CHopwatchOutcomeListener*> m_listeners;

    EMode m_mode = kNoFile;
    CString m_requestedPath;
    std::uint64_t m_budgetBytes = 0;
    double m_runSeconds = -1.0;
    mutable std::mutex m_pathLock;
    CString m_path;
    CString m_folder;

    CPlatformAppendFile m_file;
    CRecordingOutcomeCodec m_codec;
    std::vector<BYTE> m_buffer; // the frame being filled
    std::size_t m_frameStart = 0;
    NArray<SHopwatchOutcome> m_batch;

    int m_titleVersion = -1;
    CString m_titleRead;
    CString m_title; // as last written
    DWORD m_target = kHopwatchNone;
    DWORD m_rowsVersion = kHopwatchNone;
    SHopwatchHost m_host;
    SRecordingRows m_rows;    // as last written
    SRecordingRows m_current; // as just read

    std::atomic<DWORD> m_error{0};
    std::atomic<std::uint64_t> m_bytesWritten{0};
    std::atomic<std::uint64_t> m_outcomesRecorded{0};
    std::atomic<std::uint64_t> m_droppedTotal{0};
    std::mutex m_syncLock; // guards the two sync counters' waits
    std::condition_variable m_synced;
    std::uint64_t m_syncAsked = 0;
    std::uint64_t m_syncDone = 0;
};
