// Exporting the report on POSIX: TMPDIR, the file's name, content and rights, links not followed.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/system_error_text.h"
#include "foundation/utf.h"
#include "report/report_document.h"
#include "report/report_export.h"
#include "report/report_file.h"
#include "report/temp_directory.h"
#include "report_sample.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Entries of a directory besides "." and "..".
int CountEntries(const std::string& dir) {
    DIR* listing = opendir(dir.c_str());
    if (listing == nullptr)
        return -1;
    int n = 0;
    while (dirent* entry = readdir(listing))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
            ++n;
    closedir(listing);
    return n;
}

// A fresh directory named as TMPDIR for the test; the old TMPDIR comes back afterwards.
class ReportExportPosix : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        m_hadTmpdir = old != nullptr;
        if (m_hadTmpdir)
            m_oldTmpdir = old;
        char pattern[] = "/tmp/hopwatch_report_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        setenv("TMPDIR", m_dir.c_str(), 1);
    }
    void TearDown() override {
        std::string command = "rm -rf '" + m_dir + "'";
        EXPECT_EQ(system(command.c_str()), 0);
        if (m_hadTmpdir)
            setenv("TMPDIR", m_oldTmpdir.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    std::string ReportPath(const SHopwatchReportInput& input) const {
        return m_dir + "/" + ToUtf8(HopwatchReportFileName(input.now));
    }

    std::string m_dir;
    std::string m_oldTmpdir;
    bool m_hadTmpdir = false;
};

} // namespace

TEST_F(ReportExportPosix, WritesUtf8WithoutMarkUnderTheExportsTimeReadableByTheOwnerOnly) {
    SHopwatchReportInput input = report_sample::MakeInput(2, TRUE);
    input.items[1].texts[1] = L"r\u00e9seau-\u6771\u4eac.example";
    SHopwatchExportResult result = ExportHopwatchReport(input, FALSE);
    ASSERT_EQ(result.status, kExportDone) << result.error;
    EXPECT_EQ(HopwatchReportFileName(input.now), L"Hopwatch_Result_20070523_141516_042.html");
    EXPECT_EQ(ToUtf8(result.path), ReportPath(input));
    const std::string content = ReadFile(ReportPath(input));
    EXPECT_EQ(content.rfind("<!DOCTYPE HTML PUBLIC", 0), 0u);
    EXPECT_NE(content.find("r\xC3\xA9seau-\xE6\x9D\xB1\xE4\xBA\xAC.example"), std::string::npos);
    EXPECT_EQ(content.substr(content.size() - 9), "</html>\r\n");
    CString document;
    ASSERT_TRUE(BuildHopwatchReport(input, document));
    EXPECT_EQ(content, ToUtf8(document));
    struct stat info;
    ASSERT_EQ(stat(ReportPath(input).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ReportExportPosix, ExportsASecondApartGiveTwoFilesAndAnEmptyListWritesNothing) {
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    ASSERT_EQ(ExportHopwatchReport(input, FALSE).status, kExportDone);
    input.now = CNTimeStamp(input.now.GetValue() + 10000000ull);
    SHopwatchExportResult second = ExportHopwatchReport(input, FALSE);
    ASSERT_EQ(second.status, kExportDone);
    EXPECT_NE(second.path.find(L"_141517_042.html"), CString::npos);
    EXPECT_EQ(CountEntries(m_dir), 2);

    input.items.SetSize(0);
    input.now = CNTimeStamp(input.now.GetValue() + 10000000ull);
    SHopwatchExportResult nothing = ExportHopwatchReport(input, FALSE);
    EXPECT_EQ(nothing.status, kExportNothing);
    EXPECT_EQ(HopwatchExportErrorText(nothing), L"");
    EXPECT_EQ(CountEntries(m_dir), 2);
}

TEST_F(ReportExportPosix, ALinkPlantedAtTheReportsPathIsNotFollowed) {
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    const std::string target = m_dir + "/victim";
    {
        std::ofstream victim(target);
        victim << "keep";
    }
    ASSERT_EQ(symlink(target.c_str(), ReportPath(input).c_str()), 0);
    SHopwatchExportResult result = ExportHopwatchReport(input, FALSE);
    EXPECT_EQ(result.status, kExportWriteFailed);
    EXPECT_EQ(result.error, static_cast<DWORD>(EEXIST));
    EXPECT_EQ(HopwatchExportErrorText(result), SystemErrorText(EEXIST, TRUE) +
                                                   L"Cannot create/write results file\r\n" +
                                                   result.path);
    EXPECT_EQ(ReadFile(target), "keep");

    // A file the user names may be replaced, but not through a link either.
    DWORD error = 0;
    EXPECT_FALSE(WriteHopwatchReport(input, FromUtf8(ReportPath(input)), error));
    EXPECT_EQ(error, static_cast<DWORD>(ELOOP));
    EXPECT_EQ(ReadFile(target), "keep");
    EXPECT_TRUE(WriteHopwatchReport(input, FromUtf8(target), error));
    EXPECT_EQ(ReadFile(target).rfind("<!DOCTYPE", 0), 0u);
}

TEST_F(ReportExportPosix, TmpdirNamingAFileOrNothingIsNoTemporaryDirectory) {
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    const std::string file = m_dir + "/plain";
    { std::ofstream plain(file); }
    for (const std::string& value : {file, m_dir + "/missing"}) {
        setenv("TMPDIR", value.c_str(), 1);
        SHopwatchExportResult result = ExportHopwatchReport(input, FALSE);
        EXPECT_EQ(result.status, kExportNoTempDirectory) << value;
        EXPECT_EQ(HopwatchExportErrorText(result), L"Cannot locate temporary directory.");
    }
    EXPECT_EQ(CountEntries(m_dir), 1);

    unsetenv("TMPDIR");
    CString raw;
    DWORD error = 0;
    ASSERT_TRUE(ReportTempVariable(raw, error));
    EXPECT_EQ(raw, L"/tmp");
    setenv("TMPDIR", (m_dir + "/./sub/..").c_str(), 1);
    CString directory;
    ASSERT_TRUE(ReportTempDirectory(directory, error));
    EXPECT_EQ(ToUtf8(directory), m_dir + "/");
}
