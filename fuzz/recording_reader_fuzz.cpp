// libFuzzer target: arbitrary bytes as a recording file, and as the records of a recording whose
// frames and header are sound, into the reader, the replay and the rows it rebuilds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "recording/CRecordingReader.h"
#include "recording/recording_messages.h"

namespace {

// Counts what a listener of the replay is given, so the batches are walked.
struct SCounting : CHopwatchOutcomeListener {
    void OnRunStart(std::int64_t, std::int64_t, const CNTimeStamp&) override {}
    void OnOutcomes(const SHopwatchOutcome* outcomes, DWORD count, DWORD dropped) override {
        for (DWORD i = 0; i < count; ++i)
            total += outcomes[i].kind + dropped;
    }
    std::uint64_t total = 0;
};

void ReadAndBuild(const BYTE* data, size_t size) {
    static CRecordingReader reader;
    static CRecordingReplay replay;
    SCounting listener;
    SRecordingSummary summary;
    reader.ReadBytes(data, size, replay, &listener, summary);
    RecordingReadText(summary, L"fuzz", L"\n");
    if (summary.IsShowable()) {
        CHopwatchRecordRows rows;
        replay.BuildRows(rows);
        SHopwatchHost host;
        for (int r = 0; r < rows.GetRowCount(); ++r)
            rows.GetRow(r, host, 0, TRUE);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // 1. The bytes as a whole file.
    ReadAndBuild(data, size);

    // 2. A sound prefix and header, then the bytes cut into frames with sound checks: the first
    // byte of each piece gives its length, so the fuzzer reaches the records themselves.
    if (size < 2)
        return 0;
    std::vector<BYTE> file;
    WriteRecordingPrefix(file);
    std::size_t frame = BeginRecordingFrame(file);
    SRecordingHeader header;
    header.frequency = 1000000 + data[0];
    header.maxTtl = 1 + data[1] % 64;
    header.targetText = L"198.51.100.9";
    WriteHeaderRecord(file, header);
    EndRecordingFrame(file, frame);
    for (size_t at = 2; at < size;) {
        const size_t length = 1 + data[at] % 200;
        ++at;
        const size_t take = length < size - at ? length : size - at;
        if (take == 0)
            break;
        frame = BeginRecordingFrame(file);
        file.insert(file.end(), data + at, data + at + take);
        EndRecordingFrame(file, frame);
        at += take;
    }
    ReadAndBuild(file.data(), file.size());
    return 0;
}
