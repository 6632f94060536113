// Recordings cut short, damaged, empty, of another kind or of a newer version: read up to the
// damage with a clear message, or refused, never a crash.
#include "recorded_run.h"

#include "recording/recording_messages.h"

namespace {

struct SRead {
    SRecordingSummary summary;
    std::uint64_t outcomes = 0;
};

SRead Read(const std::vector<BYTE>& bytes, size_t size) {
    static CRecordingReplay replay;
    static CRecordingReader reader;
    SRead read;
    reader.ReadBytes(bytes.data(), size, replay, nullptr, read.summary);
    read.outcomes = read.summary.IsShowable() ? replay.GetOutcomeCount() : 0;
    return read;
}

class DamagedRecording : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SRecordedRun run("damage");
        run.Record(MixedRoute(3), 300);
        bytes = new std::vector<BYTE>(run.Bytes());
    }
    static void TearDownTestSuite() { delete bytes; }
    // Where each frame ends, from the lengths in the frame headers.
    static std::vector<size_t> FrameEnds() {
        std::vector<size_t> ends;
        for (size_t at = kRecordingPrefixBytes; at + 8 <= bytes->size();) {
            const BYTE* p = bytes->data() + at;
            at += 8 + (p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<size_t>(p[3]) << 24));
            ends.push_back(at);
        }
        return ends;
    }
    static std::vector<BYTE>* bytes;
};
std::vector<BYTE>* DamagedRecording::bytes = nullptr;

} // namespace

TEST_F(DamagedRecording, ACutFileReadsUpToItsLastWholeFrame) {
    const std::vector<size_t> ends = FrameEnds();
    ASSERT_GE(ends.size(), 3u);
    ASSERT_EQ(ends.back(), bytes->size());
    const SRead whole = Read(*bytes, bytes->size());
    ASSERT_EQ(whole.summary.status, kRecordingComplete);
    std::uint64_t previous = 0;
    for (size_t size = 0; size < bytes->size(); size += size < 64 ? 1 : 5) {
        const SRead cut = Read(*bytes, size);
        const bool atFrameEnd = std::find(ends.begin(), ends.end(), size) != ends.end();
        if (size < kRecordingPrefixBytes + 8 + 1) {
            EXPECT_FALSE(cut.summary.IsShowable()) << size;
        } else {
            EXPECT_EQ(cut.summary.status, atFrameEnd ? kRecordingCutOff : kRecordingCutMidFrame)
                << size;
            EXPECT_EQ(cut.summary.IsShowable(), size >= ends.front()) << size;
        }
        EXPECT_GE(cut.outcomes, previous) << size;
        EXPECT_LE(cut.outcomes, whole.outcomes) << size;
        previous = cut.outcomes;
    }
    // Cut one byte into the last frame: everything before it is there, and the message says so.
    const SRead cut = Read(*bytes, ends[ends.size() - 2] + 1);
    EXPECT_EQ(cut.summary.damageOffset, ends[ends.size() - 2]);
    EXPECT_EQ(RecordingReadText(cut.summary, L"r.hwrec", L"\n"),
              L"\"r.hwrec\" is cut off inside a frame at byte " +
                  std::to_wstring(ends[ends.size() - 2]) + L"; what comes before it is shown.");
    EXPECT_EQ(RecordingReadText(whole.summary, L"r.hwrec", L"\n"), L"");
}

TEST_F(DamagedRecording, AFlippedByteEndsTheReadingAtItsFrame) {
    const std::vector<size_t> ends = FrameEnds();
    std::vector<BYTE> flipped = *bytes;
    flipped[ends[0] + 20] ^= 0x10; // inside the second frame
    const SRead read = Read(flipped, flipped.size());
    EXPECT_EQ(read.summary.status, kRecordingDamaged);
    EXPECT_EQ(read.summary.damageOffset, ends[0]);
    EXPECT_TRUE(read.summary.IsShowable());
    EXPECT_LT(read.outcomes, Read(*bytes, bytes->size()).outcomes);
    EXPECT_NE(RecordingReadText(read.summary, L"r", L"\n").find(L"is damaged at byte"),
              CString::npos);

    // A frame length beyond anything the writer makes is damage too, not an allocation.
    flipped = *bytes;
    flipped[ends[0] + 3] = 0x7F;
    EXPECT_EQ(Read(flipped, flipped.size()).summary.status, kRecordingDamaged);
}

TEST_F(DamagedRecording, OtherFilesAndNewerVersionsAreRefused) {
    const std::vector<BYTE> empty;
    EXPECT_EQ(Read(empty, 0).summary.status, kRecordingNotRecording);
    const std::string text = "row,ttl,image,address\n0,0,5,192.0.2.10\n";
    const std::vector<BYTE> csv(text.begin(), text.end());
    const SRead other = Read(csv, csv.size());
    EXPECT_EQ(other.summary.status, kRecordingNotRecording);
    EXPECT_EQ(RecordingReadText(other.summary, L"x.csv", L"\n"),
              L"\"x.csv\" is not a Hopwatch recording.");

    std::vector<BYTE> newer = *bytes;
    newer[8] = 2; // major version 2
    const SRead refused = Read(newer, newer.size());
    EXPECT_EQ(refused.summary.status, kRecordingNewerVersion);
    EXPECT_FALSE(refused.summary.IsShowable());
    EXPECT_NE(RecordingReadText(refused.summary, L"n", L"\n").find(L"newer Hopwatch"),
              CString::npos);
    // A newer minor version adds only records that are skipped.
    newer = *bytes;
    newer[10] = 7;
    EXPECT_EQ(Read(newer, newer.size()).summary.status, kRecordingComplete);

    CRecordingReplay replay;
    CRecordingReader reader;
    SRecordingSummary summary;
    reader.ReadFile(L"no such recording.hwrec", replay, nullptr, summary);
    EXPECT_EQ(summary.status, kRecordingUnreadable);
    EXPECT_NE(summary.error, 0u);
}
