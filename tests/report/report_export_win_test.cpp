// Exporting the report on Windows: TEMP read in full and normalised, the file's name and bytes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/text_utils.h"
#include "foundation/utf.h"
#include "report/report_document.h"
#include "report/report_export.h"
#include "report/report_file.h"
#include "report/temp_directory.h"
#include "report_sample.h"

namespace {

CString CurrentTemp() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return CString(buffer, length);
}

std::string ReadFileBytes(const CString& path) {
    std::string content;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    return content;
}

void WriteFileBytes(const CString& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// Names in a directory besides "." and "..".
std::vector<CString> Entries(const CString& dir) {
    std::vector<CString> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        CString name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void RemoveTree(const CString& dir) {
    for (const CString& name : Entries(dir)) {
        const CString path = dir + name;
        if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path + L"\\");
        else
            DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(dir.c_str());
}

// A fresh directory with a long name (spaces, more than eight characters) below the current
// temporary directory; TEMP comes back as it was afterwards.
class ReportExportWin : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldTemp = CurrentTemp();
        m_base =
            m_oldTemp + L"Hopwatch report test " + std::to_wstring(GetCurrentProcessId()) + L"\\";
        RemoveTree(m_base);
        ASSERT_TRUE(CreateDirectoryW(m_base.c_str(), nullptr));
        m_dir = m_base + L"Reports With A Long Name\\";
        ASSERT_TRUE(CreateDirectoryW(m_dir.c_str(), nullptr));
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"TEMP", m_oldTemp.c_str());
        RemoveTree(m_base);
    }
    void SetTemp(const CString& value) {
        ASSERT_TRUE(SetEnvironmentVariableW(L"TEMP", value.c_str()));
    }

    CString m_oldTemp;
    CString m_base;
    CString m_dir;
};

} // namespace

TEST_F(ReportExportWin, ShortNameWithATrailingSpaceLandsInTheLongNamedDirectory) {
    wchar_t shortPath[MAX_PATH];
    DWORD length = GetShortPathNameW(m_dir.c_str(), shortPath, MAX_PATH);
    ASSERT_GT(length, 0u);
    CString shortDir(shortPath, length);
    ASSERT_NE(shortDir, m_dir) << "the system gave no short name";
    ASSERT_EQ(shortDir.back(), L'\\');
    SetTemp(shortDir.substr(0, shortDir.size() - 1) + L" ");

    CString directory;
    DWORD error = 0;
    ASSERT_TRUE(ReportTempDirectory(directory, error)) << error;
    CString longDir;
    ASSERT_TRUE(GetFullPath(m_dir.c_str(), longDir));
    EXPECT_EQ(directory, longDir);

    SHopwatchReportInput input = report_sample::MakeInput(2, TRUE);
    SHopwatchExportResult result = ExportHopwatchReport(input, FALSE);
    ASSERT_EQ(result.status, kExportDone) << result.error;
    EXPECT_EQ(result.path, longDir + L"Hopwatch_Result_20070523_141516_042.html");
    ASSERT_EQ(Entries(m_dir).size(), 1u);
    EXPECT_EQ(Entries(m_dir)[0], L"Hopwatch_Result_20070523_141516_042.html");
}

TEST_F(ReportExportWin, TempNamingAFileOrAMissingDirectoryOrNothingWritesNothing) {
    const CString file = m_dir + L"plain.txt";
    WriteFileBytes(file, "x");
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    for (const CString& value :
         {file, m_dir + L"missing", m_dir + L"missing\\deeper", CString(L"   ")}) {
        SetTemp(value);
        SHopwatchExportResult result = ExportHopwatchReport(input, FALSE);
        EXPECT_EQ(result.status, kExportNoTempDirectory);
        EXPECT_EQ(HopwatchExportErrorText(result), L"Cannot locate temporary directory.");
    }
    ASSERT_TRUE(SetEnvironmentVariableW(L"TEMP", nullptr));
    EXPECT_EQ(ExportHopwatchReport(input, FALSE).status, kExportNoTempDirectory);
    EXPECT_EQ(Entries(m_dir).size(), 1u);
    EXPECT_EQ(Entries(m_base).size(), 1u);
}

TEST_F(ReportExportWin, TempValuesLongerThanTheFirstBufferAreReadInFull) {
    for (std::size_t length : {1022u, 1023u, 1024u, 5000u}) {
        // Leading blanks are trimmed, so the long value still names the directory.
        const CString value = CString(length - m_dir.size(), L' ') + m_dir;
        SetTemp(value);
        CString read;
        DWORD error = 0;
        ASSERT_TRUE(ReportTempVariable(read, error)) << length;
        EXPECT_EQ(read, value) << length;
    }
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    SHopwatchExportResult result = ExportHopwatchReport(input, FALSE);
    ASSERT_EQ(result.status, kExportDone) << result.error;
    EXPECT_EQ(Entries(m_dir).size(), 1u);
}

TEST_F(ReportExportWin, ExportsASecondApartGiveTwoFilesOfUtf8WithoutAMark) {
    SetTemp(m_dir);
    SHopwatchReportInput input = report_sample::MakeInput(2, FALSE);
    input.progressText = L"r\u00e9seau-\u6771\u4eac.example";
    input.items[1].texts[1] = L"h\u00f4te.example";
    SHopwatchExportResult first = ExportHopwatchReport(input, FALSE);
    ASSERT_EQ(first.status, kExportDone) << first.error;
    input.now = CNTimeStamp(input.now.GetValue() + 10000000ull);
    SHopwatchExportResult second = ExportHopwatchReport(input, FALSE);
    ASSERT_EQ(second.status, kExportDone) << second.error;
    EXPECT_EQ(Entries(m_dir).size(), 2u);
    EXPECT_NE(second.path.find(L"_141517_042.html"), CString::npos);

    const std::string content = ReadFileBytes(second.path);
    EXPECT_EQ(content.rfind("<!DOCTYPE HTML PUBLIC", 0), 0u);
    EXPECT_NE(content.find("Host: r\xC3\xA9seau-\xE6\x9D\xB1\xE4\xBA\xAC.example<br>"),
              std::string::npos);
    EXPECT_NE(content.find(">h\xC3\xB4te.example</td>"), std::string::npos);
    CString document;
    ASSERT_TRUE(BuildHopwatchReport(input, document));
    EXPECT_EQ(content, ToUtf8(document));
}

TEST_F(ReportExportWin, AnExistingFileIsReplacedAndTruncatedAndAFailedCreateNamesItsError) {
    SetTemp(m_dir);
    SHopwatchReportInput input = report_sample::MakeInput(1, FALSE);
    const CString path = m_dir + HopwatchReportFileName(input.now);
    WriteFileBytes(path, std::string(300000, 'x'));
    ASSERT_EQ(ExportHopwatchReport(input, FALSE).status, kExportDone);
    CString document;
    ASSERT_TRUE(BuildHopwatchReport(input, document));
    EXPECT_EQ(ReadFileBytes(path), ToUtf8(document));

    // A directory where the file should go cannot be created as a file.
    input.now = CNTimeStamp(input.now.GetValue() + 20000000ull);
    const CString blocked = m_dir + HopwatchReportFileName(input.now);
    ASSERT_TRUE(CreateDirectoryW(blocked.c_str(), nullptr));
    SHopwatchExportResult result = ExportHopwatchReport(input, FALSE);
    EXPECT_EQ(result.status, kExportWriteFailed);
    EXPECT_NE(result.error, 0u);
    EXPECT_EQ(result.path, blocked);
    const CString text = HopwatchExportErrorText(result);
    EXPECT_EQ(text.rfind(L"Error " + std::to_wstring(result.error) + L": ", 0), 0u);
    EXPECT_NE(text.find(L"\r\nCannot create/write results file\r\n" + blocked), CString::npos);

    DWORD error = 0;
    SetLastError(0);
    EXPECT_FALSE(WriteReportFile(m_dir + L"no such dir\\x.html", "x", TRUE, error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(ReportExportWin, NormalisingKeepsTheDriveRootAndRefusesOtherForms) {
    CString out;
    DWORD error = 0;
    ASSERT_TRUE(ReportNormaliseDirectory(L" C:\\ ", out, error));
    EXPECT_EQ(out, L"C:\\");
    ASSERT_TRUE(ReportNormaliseDirectory(m_dir + L"..\\.\\Reports With A Long Name", out, error));
    CString longDir;
    ASSERT_TRUE(GetFullPath(m_dir.c_str(), longDir));
    EXPECT_EQ(out, longDir);
    // Lower-case input comes back as the file system spells the names.
    CString lower = m_dir;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    ASSERT_TRUE(ReportNormaliseDirectory(lower, out, error));
    EXPECT_EQ(out.substr(out.size() - 25), L"Reports With A Long Name\\");
}
