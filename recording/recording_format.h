// The recording file format: the file's signature, its frames and the records inside them
// (docs/recording-format.md describes the bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/CNTimeStamp.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "recording/recording_bytes.h"

// The file starts with these 8 bytes and the format's version as two 16-bit numbers.
constexpr BYTE kRecordingSignature[8] = {0x89, 'H', 'W', 'R', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kRecordingPrefixBytes = 12;
// A reader refuses a file of a higher major version; a higher minor version only adds records of
// the skippable kind, which older readers pass over.
constexpr WORD kRecordingMajorVersion = 1;
constexpr WORD kRecordingMinorVersion = 0;
// Every frame: its payload's length (4 bytes), the CRC-32 of that length's 4 bytes and the
// payload (4 bytes), then the payload: one or more whole records.
constexpr std::size_t kRecordingFrameHeaderBytes = 8;
// A longer frame is damage: the writer never makes one.
constexpr std::uint32_t kRecordingMaxFrameBytes = 4u << 20;
// The file name ending of recordings.
inline constexpr const wchar_t* kRecordingFileSuffix = L".hwrec";

// Record types. Below 0x80 a record is a probe outcome (its first byte also carries the kind and
// flags, see recording_codec.h); from 0x80 on, a type byte and the payload's length (varint)
// come first, so that a reader skips the types it does not know.
enum ERecordingRecordType : BYTE {
    kRecordHeader = 0x80,  // the run: versions, start, target text, settings, probe method
    kRecordDropped = 0x81, // outcomes that never reached the recording (varint count)
    kRecordTarget = 0x82,  // the resolved target address (4 bytes, network order)
    kRecordTitle = 0x83,   // the run's title as the window shows it
    kRecordRows = 0x84,    // the rows the list shows: route, alternatives, names
    kRecordEnd = 0x85,     // the run's end: its time and error
};

// What the recording says about the run before any probe.
struct SRecordingHeader {
    CString programVersion;
    CNTimeStamp startTime;       // local wall-clock time at the run's start
    std::int64_t startTicks = 0; // the engine's counter then
    std::int64_t frequency = 0;  // the counter's ticks per second
    CString targetText;          // the host as typed
    DWORD intervalMs = 0;        // the settings in force (as the engine applied them)
    DWORD timeoutMs = 0;
    DWORD maxTtl = 0;
    DWORD reverseDns = 0;
    DWORD exportIcons = 0;
    DWORD probeMethod = 0; // EHopwatchProbeMethod
    CNTimeStamp startUtc;  // the start again, as UTC
    DWORD probeLimit = 0;  // probes per hop asked for; 0 = none
    DWORD runMs = 0;       // run length asked for in ms; 0 = none
};

// One row the list shows. A hop row names its hop in ttl; an alternative row follows the row of
// its hop. Image, address and name are what the engine decided.
struct SRecordingRow {
    bool alternative = false;
    DWORD ttl = 0;
    DWORD image = 0;
    DWORD address = 0; // network byte order
    CString name;
    CString note;
};

struct SRecordingRows {
    DWORD hopCount = 0; // hops in use (rows of hops beyond the shown ones count for the maxima)
    NArray<SRecordingRow> rows;
};

struct SRecordingEnd {
    CNTimeStamp stopTime; // local
    CNTimeStamp stopUtc;
    DWORD errorCode = 0;
    CString errorText;
};

// Writes the 12-byte file prefix.
void WriteRecordingPrefix(std::vector<BYTE>& out);
// Frames: Begin leaves room for the frame header at the end of out and returns where it is;
// End fills it in for the bytes appended since.
std::size_t BeginRecordingFrame(std::vector<BYTE>& out);
void EndRecordingFrame(std::vector<BYTE>& out, std::size_t frameStart);
// The CRC-32 of a frame's length field.
DWORD RecordingFrameCheck(std::uint32_t length, const BYTE* payload);

// The records that are not outcomes, appended to out.
void WriteHeaderRecord(std::vector<BYTE>& out, const SRecordingHeader& header);
void WriteDroppedRecord(std::vector<BYTE>& out, DWORD count);
void WriteTargetRecord(std::vector<BYTE>& out, DWORD address);
void WriteTitleRecord(std::vector<BYTE>& out, const CString& title);
void WriteRowsRecord(std::vector<BYTE>& out, const SRecordingRows& rows);
void WriteEndRecord(std::vector<BYTE>& out, const SRecordingEnd& end);

// The payloads of those records (the bytes after type and length). FALSE for a malformed
// payload; bytes after the known fields are left for newer versions and ignored.
bool ReadHeaderRecord(CRecordingBytesIn& in, SRecordingHeader& header);
bool ReadRowsRecord(CRecordingBytesIn& in, SRecordingRows& rows);
bool ReadEndRecord(CRecordingBytesIn& in, SRecordingEnd& end);
