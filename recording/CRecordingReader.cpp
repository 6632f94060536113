// CRecordingReader: reads a recording frame by frame up to the end or to the first damage.
#include "recording/CRecordingReader.h"

#include <cstring>

#include "platform/file_read.h"

// Where the bytes come from: a file, read in pieces, or memory.
class CRecordingReader::CSource {
public:
    virtual ~CSource() = default;
    // Up to size bytes into buffer; *got is what came (0 at the end). 0 or the system's code.
    virtual DWORD Read(BYTE* buffer, std::size_t size, std::size_t* got) = 0;
};

class CRecordingReader::CFileSource : public CSource {
public:
    DWORD Open(const CString& path) { return m_file.Open(path.c_str()); }
    DWORD Read(BYTE* buffer, std::size_t size, std::size_t* got) override {
        *got = 0;
        while (*got < size) {
            std::size_t piece = 0;
            const DWORD error = m_file.Read(buffer + *got, size - *got, &piece);
            if (error != 0)
                return error;
            if (piece == 0)
                break;
            *got += piece;
        }
        return 0;
    }

private:
    CPlatformReadFile m_file;
};

class CRecordingReader::CMemorySource : public CSource {
public:
    CMemorySource(const BYTE* data, std::size_t size) : m_data(data), m_left(size) {}
    DWORD Read(BYTE* buffer, std::size_t size, std::size_t* got) override {
        *got = size < m_left ? size : m_left;
        if (*got > 0)
            std::memcpy(buffer, m_data, *got);
        m_data += *got;
        m_left -= *got;
        return 0;
    }

private:
    const BYTE* m_data;
    std::size_t m_left;
};

CRecordingReader::CRecordingReader() {
    m_batch.SetSize(kBatch);
}

void CRecordingReader::ReadFile(const CString& path, CRecordingReplay& replay,
                                CHopwatchOutcomeListener* listener, SRecordingSummary& summary) {
    summary = SRecordingSummary();
    CFileSource source;
    const DWORD error = source.Open(path);
    if (error != 0) {
        summary.status = kRecordingUnreadable;
        summary.error = error;
        return;
    }
    Read(source, replay, listener, summary);
}

void CRecordingReader::ReadBytes(const BYTE* data, std::size_t size, CRecordingReplay& replay,
                                 CHopwatchOutcomeListener* listener, SRecordingSummary& summary) {
    summary = SRecordingSummary();
    CMemorySource source(data, size);
    Read(source, replay, listener, summary);
}

void CRecordingReader::Read(CSource& source, CRecordingReplay& replay,
                            CHopwatchOutcomeListener* listener, SRecordingSummary& summary) {
    m_replay = &replay;
    m_listener = listener;
    m_summary = &summary;
    m_batchCount = 0;
    m_pendingDropped = 0;
    m_rows = SRecordingRows();

    BYTE prefix[kRecordingPrefixBytes];
    std::size_t got = 0;
    DWORD error = source.Read(prefix, sizeof(prefix), &got);
    if (error != 0) {
        summary.status = kRecordingUnreadable;
        summary.error = error;
        return;
    }
    if (got < sizeof(prefix) ||
        std::memcmp(prefix, kRecordingSignature, sizeof(kRecordingSignature)) != 0) {
        summary.status = kRecordingNotRecording;
        return;
    }
    summary.majorVersion = static_cast<WORD>(prefix[8] | (prefix[9] << 8));
    summary.minorVersion = static_cast<WORD>(prefix[10] | (prefix[11] << 8));
    if (summary.majorVersion > kRecordingMajorVersion) {
        summary.status = kRecordingNewerVersion;
        return;
    }
    if (summary.majorVersion == 0) {
        summary.status = kRecordingNotRecording;
        return;
    }

    std::uint64_t offset = sizeof(prefix);
    summary.status = kRecordingCutOff;
    for (;;) {
        BYTE head[kRecordingFrameHeaderBytes];
        error = source.Read(head, sizeof(head), &got);
        if (error != 0) {
            summary.status = kRecordingUnreadable;
            summary.error = error;
            break;
        }
        if (got == 0)
            break; // a clean end between frames
        summary.damageOffset = offset;
        if (got < sizeof(head)) {
            summary.status = kRecordingCutMidFrame;
            break;
        }
        const std::uint32_t length =
            static_cast<std::uint32_t>(head[0] | (head[1] << 8) | (head[2] << 16) |
                                       (static_cast<std::uint32_t>(head[3]) << 24));
        const DWORD check = static_cast<DWORD>(head[4] | (head[5] << 8) | (head[6] << 16) |
                                               (static_cast<std::uint32_t>(head[7]) << 24));
        if (length == 0 || length > kRecordingMaxFrameBytes) {
            summary.status = kRecordingDamaged;
            break;
        }
        m_payload.resize(length);
        error = source.Read(m_payload.data(), length, &got);
        if (error != 0) {
            summary.status = kRecordingUnreadable;
            summary.error = error;
            break;
        }
        if (got < length) {
            summary.status = kRecordingCutMidFrame;
            break;
        }
        if (RecordingFrameCheck(length, m_payload.data()) != check ||
            !ReadFrame(m_payload.data(), length, summary)) {
            summary.status = kRecordingDamaged;
            break;
        }
        offset += sizeof(head) + length;
        summary.damageOffset = offset;
        if (summary.ended) {
            // Nothing follows the end but what a later run wrote over a reused name: ignore it.
            summary.status = kRecordingComplete;
            break;
        }
    }
    FlushBatch();
    if (summary.hasHeader)
        m_replay->SetRows(m_rows);
    summary.dropped = m_replay->GetDropped();
    if (!summary.hasHeader && summary.status != kRecordingUnreadable)
        summary.status =
            summary.status == kRecordingCutOff ? kRecordingNotRecording : summary.status;
    m_replay = nullptr;
    m_listener = nullptr;
    m_summary = nullptr;
}

bool CRecordingReader::ReadFrame(const BYTE* payload, std::size_t size,
                                 SRecordingSummary& summary) {
    CRecordingBytesIn in(payload, size);
    while (!in.AtEnd()) {
        const BYTE first = in.Byte();
        // The first record of a recording is its header; nothing can be read before it.
        if (!summary.hasHeader && first != kRecordHeader)
            return false;
        if (first < 0x80) {
            SHopwatchOutcome outcome;
            if (!m_codec.Decode(first, in, outcome))
                return false;
            AddOutcome(outcome);
            continue;
        }
        const std::uint64_t length = in.Varint();
        if (!in.IsGood() || length > in.GetLeft())
            return false;
        CRecordingBytesIn record(in.GetPosition(), static_cast<std::size_t>(length));
        in.Skip(static_cast<std::size_t>(length));
        if (!ReadRecord(first, record, summary))
            return false;
    }
    return in.IsGood();
}

bool CRecordingReader::ReadRecord(BYTE type, CRecordingBytesIn& in, SRecordingSummary& summary) {
    switch (type) {
    case kRecordHeader: {
        if (summary.hasHeader)
            return false; // one run per recording
        SRecordingHeader& header = summary.header;
        if (!ReadHeaderRecord(in, header) || !m_codec.Reset(header.startTicks, header.frequency) ||
            !m_replay->Begin(header))
            return false;
        summary.hasHeader = true;
        summary.title = header.targetText;
        summary.lastTime = header.startTime;
        m_replay->OnRunStart(header.startTicks, header.frequency, header.startTime);
        if (m_listener != nullptr)
            m_listener->OnRunStart(header.startTicks, header.frequency, header.startTime);
        return true;
    }
    case kRecordDropped: {
        const std::uint64_t count = in.Varint();
        if (!in.IsGood())
            return false;
        FlushBatch();
        m_pendingDropped += count > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(count);
        return true;
    }
    case kRecordTarget:
        summary.targetAddress = in.U32();
        return in.IsGood();
    case kRecordTitle:
        summary.title = in.Text();
        return in.IsGood();
    case kRecordRows:
        return ReadRowsRecord(in, m_rows);
    case kRecordEnd:
        if (!ReadEndRecord(in, summary.end))
            return false;
        summary.ended = true;
        return true;
    default:
        return true; // a record of a newer minor version: skipped
    }
}

void CRecordingReader::AddOutcome(const SHopwatchOutcome& outcome) {
    if (outcome.kind == kOutcomeSent) {
        // The send's wall-clock time: the start's plus the ticks since, in 100 ns units.
        const SRecordingHeader& header = m_summary->header;
        const double seconds = static_cast<double>(outcome.sendTime - header.startTicks) /
                               static_cast<double>(header.frequency);
        if (seconds >= 0.0 && seconds < 1e9)
            m_summary->lastTime = CNTimeStamp(header.startTime.GetValue() +
                                              static_cast<std::uint64_t>(seconds * 1e7));
    }
    m_batch[m_batchCount++] = outcome;
    if (m_batchCount == kBatch)
        FlushBatch();
}

void CRecordingReader::FlushBatch() {
    if (m_replay == nullptr || (m_batchCount == 0 && m_pendingDropped == 0))
        return;
    m_replay->OnOutcomes(m_batch.GetData(), static_cast<DWORD>(m_batchCount), m_pendingDropped);
    if (m_listener != nullptr)
        m_listener->OnOutcomes(m_batch.GetData(), static_cast<DWORD>(m_batchCount),
                               m_pendingDropped);
    m_batchCount = 0;
    m_pendingDropped = 0;
}
