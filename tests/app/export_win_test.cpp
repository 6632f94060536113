// The Export button in-process: the report of the real list control, its file, the browser and
// boxes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/CHopwatchApp.h"
#include "app/CHopwatchDlg.h"
#include "app/dialog_test_support.h"
#include "foundation/system_error_text.h"
#include "foundation/utf.h"
#include "report/report_builtin_images.h"
#include "report/report_export.h"
#include "report/report_html.h"
#include "report/report_icon_table.h"
#include "report/report_version.h"
#include "resources/resource_ids.h"
#include "results/list_columns.h"
#include "settings/settings_globals.h"

namespace {

CString TempPath() {
    wchar_t buffer[MAX_PATH + 1];
    return CString(buffer, ::GetTempPathW(MAX_PATH + 1, buffer));
}

// Report files in dir, oldest name first.
NArray<CString> Reports(const CString& dir) {
    NArray<CString> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((dir + L"Hopwatch_Result_*.html").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.SetSize(names.GetSize() + 1);
        names[names.GetSize() - 1] = dir + found.cFileName;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

CString ReadReport(const CString& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    char chunk[8192];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ::ReadFile(file, chunk, sizeof chunk, &got, nullptr) &&
           got > 0)
        bytes.append(chunk, got);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return FromUtf8(bytes);
}

// The main dialog over the scripted network with TEMP in a fresh directory, the browser replaced
// by a recorder and every box recorded.
class ExportDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        PrepareDialogTests();
        if (!g_OwnVersionInfo.HasFixedInfo())
            g_OwnVersionInfo.ReadOwnModule();
    }
    void SetUp() override {
        m_oldTemp = TempPath();
        m_dir = m_oldTemp + L"hopwatch export " + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(m_dir.c_str(), nullptr);
        ::SetEnvironmentVariableW(L"TEMP", m_dir.c_str());
        SetHopwatchReportOpenHandler([this](const CString& path) {
            m_opened = path;
            return m_openError;
        });
        g_bReverseDNS = 0;
        g_bExportIcons = 1;
        g_dwMaxTTL = 3;
        g_dwPingTimeoutMS = 2000;
        m_net.target = TestIp(192, 0, 2, 1);
        m_net.local = TestIp(192, 0, 2, 100);
        m_dlg = std::make_unique<CHopwatchDlg>(&m_net);
        ASSERT_TRUE(m_dlg->Create(nullptr));
        PumpMessages();
    }
    void TearDown() override {
        m_net.Release();
        if (m_dlg && m_dlg->m_hWnd != nullptr)
            ::DestroyWindow(m_dlg->m_hWnd);
        PumpMessages();
        m_dlg.reset();
        SetHopwatchReportOpenHandler({});
        NArray<CString> written = ReportsIn();
        for (int i = 0; i < written.GetSize(); ++i)
            ::DeleteFileW(written[i].c_str());
        ::RemoveDirectoryW(m_dir.c_str());
        ::SetEnvironmentVariableW(L"TEMP", m_oldTemp.c_str());
        g_bReverseDNS = m_reverseDns;
        g_bExportIcons = m_exportIcons;
        g_dwMaxTTL = m_maxTtl;
        g_dwPingTimeoutMS = m_timeout;
    }

    NArray<CString> ReportsIn() const { return Reports(m_dir); }
    HWND Item(int id) const { return ::GetDlgItem(m_dlg->m_hWnd, id); }
    void Send(int id, WORD code) { SendCommand(m_dlg->m_hWnd, id, code); }
    template <typename Done> bool TickUntil(Done done) {
        return TickDialogUntil(m_dlg->m_hWnd, m_dlg->GetRefreshTimerId(), done);
    }
    void StartRun() {
        ::SetWindowTextW(Item(IDC_HOST_COMBO), L"target.example");
        Send(IDC_HOST_COMBO, CBN_EDITCHANGE);
        Send(IDC_START, BN_CLICKED);
        ASSERT_TRUE(TickUntil([this] { return ListView_GetItemCount(Item(IDC_RESULTS)) >= 3; }));
    }
    bool Stopped() const {
        return CWnd(Item(IDC_START)).GetWindowText() == L"&Start" && !m_dlg->GetData().IsRunning();
    }

    // Every table row of the report is the list's item: texts, alignments, colours and its image.
    void ExpectReportShowsTheList(const CString& report) {
        HWND list = Item(IDC_RESULTS);
        const int count = ListView_GetItemCount(list);
        for (int r = 0; r < count; ++r) {
            LVITEMW image = {};
            image.mask = LVIF_IMAGE;
            image.iItem = r;
            ListView_GetItem(list, &image);
            CString icon;
            ASSERT_TRUE(AppendImageTable(icon, BuiltInRowImagePixels(), FALSE, image.iImage));
            CString row = L"\t<tr>\r\n\t\t<td class=\"tdx\">\r\n" + icon + L"\t\t</td>\r\n";
            for (int c = 0; c < kHopwatchColumnCount; ++c) {
                wchar_t text[512] = {};
                ListView_GetItemText(list, r, c, text, 512);
                row += CString(L"\t\t<td class=\"td") +
                       (c == 0 || HopwatchColumnRightAligned(c) ? L"r" : L"l") +
                       L"\" style=\"background-color: " +
                       ColorToHtml(m_dlg->GetListView().GetCellColor(r, c)) + L";\">" +
                       EscapeHtml(text, TRUE) + L"</td>\r\n";
            }
            EXPECT_NE(report.find(row + L"\t</tr>\r\n"), CString::npos) << "item " << r;
        }
        int rows = 0;
        for (std::size_t at = report.find(L"\t<tr>\r\n"); at != CString::npos;
             at = report.find(L"\t<tr>\r\n", at + 1))
            ++rows;
        EXPECT_EQ(rows, count);
    }

    CString m_oldTemp;
    CString m_dir;
    CString m_opened;
    DWORD m_openError = 0;
    int m_reverseDns = g_bReverseDNS;
    int m_exportIcons = g_bExportIcons;
    DWORD m_maxTtl = g_dwMaxTTL;
    DWORD m_timeout = g_dwPingTimeoutMS;
    CRecordedBoxes m_boxes;
    CHeldNetwork m_net;
    std::unique_ptr<CHopwatchDlg> m_dlg;
};

} // namespace

TEST_F(ExportDialog, AnEmptyListExportsNothing) {
    Send(IDC_EXPORT, BN_CLICKED);
    EXPECT_EQ(ReportsIn().GetSize(), 0);
    EXPECT_TRUE(m_opened.empty());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ExportDialog, ExportWhileRunningAndAfterStopShowsTheListAndOpensTheFile) {
    StartRun();
    // The run waits while the report is compared with the list: a refresh tick that falls into
    // the export's own messages would otherwise change the list under the comparison.
    m_net.Hold();
    ASSERT_TRUE(m_net.WaitUntilHeld([this] { return !m_dlg->GetData().IsPingWorkerRunning(); }));
    TickUntil([] { return true; });
    Send(IDC_EXPORT, BN_CLICKED);
    NArray<CString> first = ReportsIn();
    ASSERT_EQ(first.GetSize(), 1);
    EXPECT_EQ(m_opened, first[0]);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    const CString running = ReadReport(first[0]);
    EXPECT_EQ(running.rfind(L"<!DOCTYPE HTML PUBLIC", 0), 0u);
    EXPECT_NE(running.find(L"\tTest sampled: "), CString::npos);
    EXPECT_NE(running.find(L"\tHost: " +
                           EscapeHtml(CWnd(Item(IDC_PROGRESS)).GetWindowText(), FALSE) +
                           L"<br>\r\n"),
              CString::npos);
    // The same version texts as the console's, from the program's own version resource.
    EXPECT_NE(running.find(L"<meta name=\"Generator\" content=\"" +
                           g_OwnVersionInfo.Format(L"%p %g %V") + L"\">"),
              CString::npos);
    EXPECT_EQ(g_OwnVersionInfo.Format(L"%p %g %V"), BuiltInReportVersion().generator);
    EXPECT_NE(running.find(L">" + BuiltInReportVersion().footer + L"</div>"), CString::npos);
    // The program icon read from the loaded icon is the source icon.
    CString icon;
    ASSERT_TRUE(AppendImageTable(icon, BuiltInProgramIconPixels(), TRUE, 0));
    EXPECT_NE(running.find(L"<td class=\"tdhx\">\r\n" + icon + L"</td>\r\n"), CString::npos);
    ExpectReportShowsTheList(running);

    m_net.Release();
    Send(IDC_START, BN_CLICKED); // Stop
    ASSERT_TRUE(TickUntil([this] { return Stopped(); }));
    // The second report's name differs at least in the milliseconds (bounded wait).
    const CString firstName = first[0].substr(m_dir.size());
    for (int i = 0; i < 1000000 && HopwatchReportFileName(CNTimeStamp::Now()) == firstName; ++i)
        std::this_thread::yield();
    Send(IDC_EXPORT, BN_CLICKED);
    NArray<CString> both = ReportsIn();
    ASSERT_EQ(both.GetSize(), 2);
    const CString stopped = ReadReport(both[1]);
    EXPECT_NE(stopped.find(L"\tTest stopped: " +
                           m_dlg->GetStopTime().Format(L"%a, %b %d, %Y  %I:%M:%S %p GMT%G")),
              CString::npos);
    EXPECT_EQ(stopped.find(L"Test sampled"), CString::npos);
    ExpectReportShowsTheList(stopped);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ExportDialog, FailuresShowTheirExportErrorBoxes) {
    StartRun();
    m_openError = ERROR_FILE_NOT_FOUND;
    Send(IDC_EXPORT, BN_CLICKED);
    NArray<CString> written = ReportsIn();
    ASSERT_EQ(written.GetSize(), 1);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].caption, L"Export Error");
    EXPECT_EQ(m_boxes.Boxes()[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(m_boxes.Boxes()[0].text, SystemErrorText(ERROR_FILE_NOT_FOUND, TRUE) +
                                           L"Cannot open default web browser on document\r\n" +
                                           written[0]);

    ::SetEnvironmentVariableW(L"TEMP", (m_dir + L"missing").c_str());
    Send(IDC_EXPORT, BN_CLICKED);
    ASSERT_EQ(m_boxes.Boxes().size(), 2u);
    EXPECT_EQ(m_boxes.Boxes()[1].text, L"Cannot locate temporary directory.");
    EXPECT_EQ(m_boxes.Boxes()[1].caption, L"Export Error");
    EXPECT_EQ(ReportsIn().GetSize(), 1);
    Send(IDC_START, BN_CLICKED);
    EXPECT_TRUE(TickUntil([this] { return Stopped(); }));
}

TEST_F(ExportDialog, TheTimelineSectionFollowsTheOptionAndShowsTheRun) {
    const int saved = g_bExportTimeline;
    StartRun();
    Send(IDC_START, BN_CLICKED);
    ASSERT_TRUE(TickUntil([this] { return Stopped(); }));
    g_bExportTimeline = 0;
    Send(IDC_EXPORT, BN_CLICKED);
    g_bExportTimeline = 1;
    const CString firstName = ReportsIn()[0].substr(m_dir.size());
    for (int i = 0; i < 1000000 && HopwatchReportFileName(CNTimeStamp::Now()) == firstName; ++i)
        std::this_thread::yield();
    Send(IDC_EXPORT, BN_CLICKED);
    g_bExportTimeline = saved;
    NArray<CString> both = ReportsIn();
    ASSERT_EQ(both.GetSize(), 2);
    const CString without = ReadReport(both[0]);
    const CString with = ReadReport(both[1]);
    EXPECT_EQ(without.find(L"<svg"), CString::npos);
    EXPECT_EQ(without.find(L"Timeline"), CString::npos);
    const std::size_t section = with.find(L"<div class=\"pm\"><br>\r\n\tTimeline: one cell per ");
    ASSERT_NE(section, CString::npos);
    EXPECT_LT(with.find(L"</table>\r\n<br>\r\n"), section);
    EXPECT_NE(with.find(L"<title>TTL 1 "), CString::npos);
    ExpectReportShowsTheList(with);
}
