// CRecordingReader: reads a recording frame by frame and hands what it holds on, up to the end
// or to the first damage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/CHopwatchOutcomeListener.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/base_types.h"
#include "recording/CRecordingOutcomeCodec.h"
#include "recording/CRecordingReplay.h"
#include "recording/recording_format.h"

// How far a recording could be read.
enum ERecordingStatus {
    kRecordingComplete = 0, // every frame sound, the run's end recorded
    kRecordingCutOff,       // sound up to a frame's end, but the run's end is missing
    kRecordingCutMidFrame,  // the file ends inside a frame: read up to that frame
    kRecordingDamaged,      // a frame fails its check or holds nonsense: read up to it
    kRecordingNotRecording, // empty, or another kind of file
    kRecordingNewerVersion, // a format this program does not know yet
    kRecordingUnreadable,   // the system could not open or read it
};

// What reading found besides the rows.
struct SRecordingSummary {
    ERecordingStatus status = kRecordingNotRecording;
    DWORD error = 0;                // the system's code when unreadable
    std::uint64_t damageOffset = 0; // where the unread part begins (cut or damaged)
    WORD majorVersion = 0;
    WORD minorVersion = 0;
    bool hasHeader = false; // nothing can be shown without it
    SRecordingHeader header;
    CString title;
    DWORD targetAddress = kHopwatchNoneAddress; // network byte order
    bool ended = false;
    SRecordingEnd end;
    CNTimeStamp lastTime; // the wall-clock time of the last probe sent (for a cut-off run)
    std::uint64_t dropped = 0;

    static constexpr DWORD kHopwatchNoneAddress = 0xFFFFFFFFu;
    // Whether the rows can be shown: the run's header was read.
    bool IsShowable() const { return hasHeader; }
    // The run's stop time: recorded, or the last probe's for a run cut off.
    CNTimeStamp StopTime() const { return ended ? end.stopTime : lastTime; }
};

// One recording read at a time; reusable. The replay and the listener are fed on the calling
// thread: the listener gets OnRunStart with the recorded clock, then every outcome in the order
// the engine produced it, in batches that carry the count of outcomes dropped before them.
class CRecordingReader {
public:
    CRecordingReader();

    // Reads the file at path; listener may be nullptr. The summary tells how far it got.
    void ReadFile(const CString& path, CRecordingReplay& replay, CHopwatchOutcomeListener* listener,
                  SRecordingSummary& summary);
    // The same over bytes in memory.
    void ReadBytes(const BYTE* data, std::size_t size, CRecordingReplay& replay,
                   CHopwatchOutcomeListener* listener, SRecordingSummary& summary);

private:
    class CSource;
    class CFileSource;
    class CMemorySource;

    void Read(CSource& source, CRecordingReplay& replay, CHopwatchOutcomeListener* listener,
              SRecordingSummary& summary);
    // The records of one frame's payload; false at the first malformed one.
    bool ReadFrame(const BYTE* payload, std::size_t size, SRecordingSummary& summary);
    bool ReadRecord(BYTE type, CRecordingBytesIn& in, SRecordingSummary& summary);
    void AddOutcome(const SHopwatchOutcome& outcome);
    void FlushBatch();

    static constexpr int kBatch = 1024;

    CRecordingOutcomeCodec m_codec;
    std::vector<BYTE> m_payload;
    NArray<SHopwatchOutcome> m_batch;
    int m_batchCount = 0;
    DWORD m_pendingDropped = 0;
    CRecordingReplay* m_replay = nullptr;
    CHopwatchOutcomeListener* m_listener = nullptr;
    SRecordingSummary* m_summary = nullptr;
    SRecordingRows m_rows;
};
