// The recordings folder on POSIX: where it is, owner-only, no planted link followed, the budget,
// and a folder that cannot be made stopping the recording but not the run.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "recorded_run.h"

#include "foundation/utf.h"
#include "recording/recording_messages.h"
#include "recording/recordings_folder.h"

namespace {

// XDG_STATE_HOME set to a folder for the test's life.
struct SStateHome {
    explicit SStateHome(const std::string& value) {
        const char* old = std::getenv("XDG_STATE_HOME");
        had = old != nullptr;
        saved = had ? old : "";
        setenv("XDG_STATE_HOME", value.c_str(), 1);
    }
    ~SStateHome() {
        if (had)
            setenv("XDG_STATE_HOME", saved.c_str(), 1);
        else
            unsetenv("XDG_STATE_HOME");
    }
    bool had;
    std::string saved;
};

mode_t Mode(const std::filesystem::path& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

void WriteFile(const std::filesystem::path& path, size_t bytes, int ageDays) {
    std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
    const auto when =
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * ageDays);
    std::filesystem::last_write_time(path, when);
}

} // namespace

TEST(RecordingsFolder, NewFilesAreOwnerOnlyNeverThroughALinkAndTheOldestGoFirst) {
    STempFolder home("state");
    SStateHome state(home.path.string());
    const std::filesystem::path folder = home.path / "hopwatch" / "recordings";
    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0755); // made owner-only when recording starts
    WriteFile(folder / "Hopwatch_old3.hwrec", 400000, 3);
    WriteFile(folder / "Hopwatch_old2.hwrec", 400000, 2);
    WriteFile(folder / "Hopwatch_old1.hwrec", 400000, 1);
    WriteFile(folder / "notes.txt", 900000, 9); // not a recording: never counted or removed
    // A link planted where the new recording would go, pointing at a file of the user's.
    const std::filesystem::path victim = home.path / "victim";
    WriteFile(victim, 10, 0);
    const CString name = RecordingFileName(CNTimeStamp(), L"198.51.100.9");
    std::filesystem::create_symlink(victim, folder / ToUtf8(name));

    SRecordedRun run("folder");
    ASSERT_TRUE(run.data.BeginRun(L"198.51.100.9", 100, 1000, 8, 0));
    ASSERT_TRUE(run.recorder.Begin(CHopwatchRecorder::kInFolder, CString(), 1000000));
    CRouteDriver driver(run, MixedRoute(1));
    driver.Send(40);
    driver.Finish();
    run.recorder.Finish();
    EXPECT_EQ(run.recorder.GetError(), 0u);

    const std::filesystem::path written = run.recorder.GetPath();
    EXPECT_EQ(written.parent_path(), folder);
    const std::string planted = ToUtf8(name);
    EXPECT_EQ(written.filename().string(),
              planted.substr(0, planted.size() - 6) + "_2.hwrec"); // the link's name was taken
    EXPECT_EQ(Mode(folder), 0700u);
    EXPECT_EQ(Mode(written), 0600u);
    EXPECT_EQ(std::filesystem::file_size(victim), 10u);
    EXPECT_FALSE(run.live.all.empty());
    // 1.2 MB of old recordings against a budget of 1 MB: the oldest went.
    EXPECT_FALSE(std::filesystem::exists(folder / "Hopwatch_old3.hwrec"));
    EXPECT_TRUE(std::filesystem::exists(folder / "Hopwatch_old2.hwrec"));
    EXPECT_TRUE(std::filesystem::exists(folder / "Hopwatch_old1.hwrec"));
    EXPECT_TRUE(std::filesystem::exists(folder / "notes.txt"));

    // Never the one being written: a budget of nothing leaves it (and an open one) alone.
    CPlatformAppendFile open;
    ASSERT_EQ(open.Create((folder / "Hopwatch_open.hwrec").wstring(), TRUE), 0u);
    EXPECT_EQ(PruneRecordings(folder.wstring() + L"/", 0, written.filename().wstring()), 2);
    EXPECT_TRUE(std::filesystem::exists(written));
    EXPECT_TRUE(std::filesystem::exists(folder / "Hopwatch_open.hwrec"));
}

TEST(RecordingsFolder, AFolderThatCannotBeMadeStopsTheRecordingNotTheRun) {
    STempFolder home("blocked");
    std::ofstream(home.path / "hopwatch") << "a file where the folder should be";
    SStateHome state(home.path.string());
    SRecordedRun run("blocked");
    ASSERT_TRUE(run.data.BeginRun(L"198.51.100.9", 100, 1000, 8, 0));
    ASSERT_TRUE(run.recorder.Begin(CHopwatchRecorder::kInFolder, CString(), 1 << 20));
    CRouteDriver driver(run, MixedRoute(2));
    driver.Send(30);
    driver.Finish();
    run.recorder.Finish();
    EXPECT_EQ(run.recorder.GetError(), static_cast<DWORD>(ENOTDIR));
    EXPECT_EQ(run.data.GetLastErrorCode(), 0u);
    EXPECT_GE(run.live.all.size(), 30u); // the listeners heard the run all the same
    EXPECT_NE(RecordingStoppedText(run.recorder.GetError(), run.recorder.GetPath(), L"\n")
                  .find(L"The recording of this run stopped: Error 20"),
              CString::npos);
}
