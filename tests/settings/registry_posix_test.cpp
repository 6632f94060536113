// The file-backed registry store: where it lives, its permissions, and damaged or half-written
// files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "foundation/utf.h"
#include "settings/CNPersistentStore.h"
#include "settings/CNRegistryKey.h"
#include "settings/hopwatch_settings.h"
#include "settings/settings_globals.h"
#include "CRegistryTestArea.h"

namespace {

std::string StorePath() {
    return ToUtf8(PlatformRegistryStorePath());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

BOOL WriteDword(const CString& path, LPCWSTR name, DWORD number) {
    CNRegistryKey key;
    CNRegistryValue value;
    return key.Open(path.c_str(), kRegReadWrite) && value.SetDword(number) &&
           key.SetValue(name, value);
}

// The value, or 0xFFFFFFFF when it cannot be read.
DWORD ReadDword(const CString& path, LPCWSTR name) {
    CNRegistryKey key;
    CNRegistryValue value;
    DWORD number = 0xFFFFFFFF;
    if (key.Open(path.c_str(), kRegRead) && key.QueryValue(name, value))
        value.GetDword(&number);
    return number;
}

} // namespace

TEST(RegistryStore, LivesInTheConfigFolderReadableByTheOwnerOnly) {
    CRegistryTestArea area;
    EXPECT_EQ(StorePath(), area.Directory() + "/hopwatch/registry");
    ASSERT_TRUE(WriteDword(area.Path(), L"Value", 5));
    struct stat info;
    ASSERT_EQ(stat(StorePath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((area.Directory() + "/hopwatch").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    // A store file left with wider permissions is narrowed by the next write.
    chmod(StorePath().c_str(), 0644);
    ASSERT_TRUE(WriteDword(area.Path(), L"Value", 6));
    ASSERT_EQ(stat(StorePath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Without XDG_CONFIG_HOME (or with a relative one) the store is in ~/.config.
    std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    setenv("HOME", area.Directory().c_str(), 1);
    EXPECT_EQ(StorePath(), area.Directory() + "/.config/hopwatch/registry");
    setenv("HOME", home.c_str(), 1);
}

TEST(RegistryStore, TruncatedOrGarbageFilesReadAsEmpty) {
    CRegistryTestArea area;
    const DWORD interval = g_dwPingIntervalMS;
    g_dwPingIntervalMS = 123;
    CNPersistentStore store;
    PrepareSettingsStore(store);
    store.SetKeyPath(area.Path());
    store.Find(L"PingIntervalMS")->SetModified(TRUE);
    ASSERT_TRUE(store.SaveAll());
    std::string good = ReadFile(StorePath());
    ASSERT_GT(good.size(), 40u);

    const std::string damaged[] = {
        good.substr(0, good.size() / 2),
        good.substr(0, good.size() - 1),
        std::string(),
        std::string("\0\xff\x01garbage\n", 11),
        good.substr(0, 30) + "x" + good.substr(31),
        std::string(good).replace(good.find("\nv "), 3, "\nq "),
    };
    for (const std::string& bytes : damaged) {
        WriteFile(StorePath(), bytes);
        g_dwPingIntervalMS = 1000;
        CNPersistentStore fresh;
        PrepareSettingsStore(fresh);
        fresh.SetKeyPath(area.Path());
        EXPECT_TRUE(fresh.LoadAll());
        EXPECT_EQ(g_dwPingIntervalMS, 1000u) << bytes.size();
        EXPECT_EQ(ReadDword(area.Path(), L"PingIntervalMS"), 0xFFFFFFFFu);
    }
    // A damaged store is replaced by the next write and works again.
    ASSERT_TRUE(WriteDword(area.Path(), L"PingIntervalMS", 77));
    EXPECT_EQ(ReadDword(area.Path(), L"PingIntervalMS"), 77u);
    g_dwPingIntervalMS = interval;
}

TEST(RegistryStore, ACrashBetweenWritingAndRenamingKeepsTheOldSettings) {
    CRegistryTestArea area;
    ASSERT_TRUE(WriteDword(area.Path(), L"MaxTTL", 30));
    std::string before = ReadFile(StorePath());
    ASSERT_TRUE(PlatformRegistrySimulateCrashBeforeRename(TRUE));
    CNRegistryKey key;
    CNRegistryValue value;
    EXPECT_TRUE(key.Open(area.Path().c_str(), kRegReadWrite)); // exists: nothing to write
    value.SetDword(99);
    EXPECT_FALSE(key.SetValue(L"MaxTTL", value));
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorWriteFault);
    EXPECT_FALSE(key.Open((area.Path() + L"\\New").c_str(), kRegReadWrite));
    PlatformRegistrySimulateCrashBeforeRename(FALSE);
    EXPECT_EQ(ReadFile(StorePath()), before);
    EXPECT_EQ(ReadDword(area.Path(), L"MaxTTL"), 30u);
    CNRegistryKey missing;
    EXPECT_FALSE(missing.Open((area.Path() + L"\\New").c_str(), kRegRead));
    // The half-written temporary file does not disturb the next save.
    ASSERT_TRUE(WriteDword(area.Path(), L"MaxTTL", 31));
    EXPECT_EQ(ReadDword(area.Path(), L"MaxTTL"), 31u);
}

TEST(RegistryStore, HandlesSurviveOtherWritersAndStaleHandlesAreRefused) {
    CRegistryTestArea area;
    CNRegistryKey reader;
    ASSERT_TRUE(WriteDword(area.Path(), L"A", 1));
    ASSERT_TRUE(reader.Open(area.Path().c_str(), kRegRead));
    // Another writer (here: another key object) changes the file; the open reader sees it.
    ASSERT_TRUE(WriteDword(area.Path(), L"A", 2));
    CNRegistryValue value;
    DWORD number = 0;
    ASSERT_TRUE(reader.QueryValue(L"A", value));
    value.GetDword(&number);
    EXPECT_EQ(number, 2u);
    // The key vanished from under the handle (the store file was removed).
    unlink(StorePath().c_str());
    EXPECT_FALSE(reader.QueryValue(L"A", value));
    EXPECT_EQ(reader.GetLastErrorCode(), kRegErrorKeyDeleted);
    // A handle that was closed is no longer accepted by the store.
    HKEY stale = reader.GetHandle();
    reader.Close();
    DWORD type = 0, size = 0;
    EXPECT_EQ(PlatformRegQueryValue(stale, L"A", &type, nullptr, &size), kRegErrorInvalidHandle);
    EXPECT_EQ(PlatformRegCloseKey(stale), kRegErrorInvalidHandle);
}
