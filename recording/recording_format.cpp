// The recording file format: signature, frames and the records that are not outcomes.
#include "recording/recording_format.h"

#include "foundation/CNCrc32.h"

namespace {

// The most rows a record may hold: every hop of the longest route and every alternative.
constexpr std::uint64_t kMaxRows = 4096;

// A record with a type byte and its payload's length: the payload is written into a scratch
// vector first, since its length comes before it.
template <class Fill> void WriteRecord(std::vector<BYTE>& out, BYTE type, Fill fill) {
    std::vector<BYTE> payload;
    CRecordingBytesOut bytes(payload);
    fill(bytes);
    CRecordingBytesOut head(out);
    head.Byte(type);
    head.Varint(payload.size());
    out.insert(out.end(), payload.begin(), payload.end());
}

} // namespace

void WriteRecordingPrefix(std::vector<BYTE>& out) {
    out.insert(out.end(), kRecordingSignature, kRecordingSignature + sizeof(kRecordingSignature));
    CRecordingBytesOut bytes(out);
    bytes.Byte(static_cast<BYTE>(kRecordingMajorVersion & 0xFF));
    bytes.Byte(static_cast<BYTE>(kRecordingMajorVersion >> 8));
    bytes.Byte(static_cast<BYTE>(kRecordingMinorVersion & 0xFF));
    bytes.Byte(static_cast<BYTE>(kRecordingMinorVersion >> 8));
}

std::size_t BeginRecordingFrame(std::vector<BYTE>& out) {
    const std::size_t start = out.size();
    out.resize(start + kRecordingFrameHeaderBytes);
    return start;
}

DWORD RecordingFrameCheck(std::uint32_t length, const BYTE* payload) {
    CNCrc32 crc;
    crc.UpdateDword(length);
    return crc.Update(payload, length);
}

void EndRecordingFrame(std::vector<BYTE>& out, std::size_t frameStart) {
    const std::size_t payload = frameStart + kRecordingFrameHeaderBytes;
    const std::uint32_t length = static_cast<std::uint32_t>(out.size() - payload);
    const DWORD check = RecordingFrameCheck(length, out.data() + payload);
    for (int i = 0; i < 4; ++i) {
        out[frameStart + i] = static_cast<BYTE>(length >> (8 * i));
        out[frameStart + 4 + i] = static_cast<BYTE>(check >> (8 * i));
    }
}

void WriteHeaderRecord(std::vector<BYTE>& out, const SRecordingHeader& header) {
    WriteRecord(out, kRecordHeader, [&](CRecordingBytesOut& bytes) {
        bytes.Text(header.programVersion);
        bytes.U64(header.startTime.GetValue());
        bytes.U64(static_cast<std::uint64_t>(header.startTicks));
        bytes.U64(static_cast<std::uint64_t>(header.frequency));
        bytes.Text(header.targetText);
        bytes.Varint(header.intervalMs);
        bytes.Varint(header.timeoutMs);
        bytes.Varint(header.maxTtl);
        bytes.Varint(header.reverseDns);
        bytes.Varint(header.exportIcons);
        bytes.Varint(header.probeMethod);
        bytes.U64(header.startUtc.GetValue());
        bytes.Varint(header.probeLimit);
        bytes.Varint(header.runMs);
    });
}

void WriteDroppedRecord(std::vector<BYTE>& out, DWORD count) {
    WriteRecord(out, kRecordDropped, [&](CRecordingBytesOut& bytes) { bytes.Varint(count); });
}

void WriteTargetRecord(std::vector<BYTE>& out, DWORD address) {
    WriteRecord(out, kRecordTarget, [&](CRecordingBytesOut& bytes) { bytes.U32(address); });
}

void WriteTitleRecord(std::vector<BYTE>& out, const CString& title) {
    WriteRecord(out, kRecordTitle, [&](CRecordingBytesOut& bytes) { bytes.Text(title); });
}

void WriteRowsRecord(std::vector<BYTE>& out, const SRecordingRows& rows) {
    WriteRecord(out, kRecordRows, [&](CRecordingBytesOut& bytes) {
        bytes.Varint(rows.hopCount);
        bytes.Varint(static_cast<std::uint64_t>(rows.rows.GetSize()));
        for (int i = 0; i < rows.rows.GetSize(); ++i) {
            const SRecordingRow& row = rows.rows[i];
            bytes.Byte(row.alternative ? 1 : 0);
            bytes.Varint(row.ttl);
            bytes.Varint(row.image);
            bytes.U32(row.address);
            bytes.Text(row.name);
            bytes.Text(row.note);
        }
    });
}

void WriteEndRecord(std::vector<BYTE>& out, const SRecordingEnd& end) {
    WriteRecord(out, kRecordEnd, [&](CRecordingBytesOut& bytes) {
        bytes.U64(end.stopTime.GetValue());
        bytes.U64(end.stopUtc.GetValue());
        bytes.Varint(end.errorCode);
        bytes.Text(end.errorText);
    });
}

namespace {

DWORD Dword(CRecordingBytesIn& in) {
    const std::uint64_t value = in.Varint();
    if (value > 0xFFFFFFFFu)
        in.MarkBad();
    return static_cast<DWORD>(value);
}

} // namespace

bool ReadHeaderRecord(CRecordingBytesIn& in, SRecordingHeader& header) {
    header.programVersion = in.Text(256);
    header.startTime = CNTimeStamp(in.U64());
    header.startTicks = static_cast<std::int64_t>(in.U64());
    header.frequency = static_cast<std::int64_t>(in.U64());
    header.targetText = in.Text();
    header.intervalMs = Dword(in);
    header.timeoutMs = Dword(in);
    header.maxTtl = Dword(in);
    header.reverseDns = Dword(in);
    header.exportIcons = Dword(in);
    header.probeMethod = Dword(in);
    header.startUtc = CNTimeStamp(in.U64());
    header.probeLimit = Dword(in);
    header.runMs = Dword(in);
    // A clock without ticks cannot time anything, one beyond a tick per picosecond is no
    // counter of ours (and would overflow the time arithmetic); a route longer than the engine
    // allows is no run of ours.
    return in.IsGood() && header.frequency > 0 && header.frequency <= 1000000000000LL &&
           header.maxTtl >= 1 && header.maxTtl <= 256;
}

bool ReadRowsRecord(CRecordingBytesIn& in, SRecordingRows& rows) {
    rows.hopCount = Dword(in);
    const std::uint64_t count = in.Varint();
    if (!in.IsGood() || count > kMaxRows || count > in.GetLeft() ||
        !rows.rows.SetSize(static_cast<int>(count)))
        return false;
    for (int i = 0; i < rows.rows.GetSize() && in.IsGood(); ++i) {
        SRecordingRow& row = rows.rows[i];
        row.alternative = (in.Byte() & 1) != 0;
        row.ttl = Dword(in);
        row.image = Dword(in);
        row.address = in.U32();
        row.name = in.Text();
        row.note = in.Text();
    }
    return in.IsGood();
}

bool ReadEndRecord(CRecordingBytesIn& in, SRecordingEnd& end) {
    end.stopTime = CNTimeStamp(in.U64());
    end.stopUtc = CNTimeStamp(in.U64());
    end.errorCode = Dword(in);
    end.errorText = in.Text();
    return in.IsGood();
}
