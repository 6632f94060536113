// Runs recorded by the window and opened again in it: the recording in the user's Recordings
// folder, the same rows read-only with the run's title and times, its report; a recording that
// stops or cannot be read said in a box.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/CHopwatchApp.h"
#include "app/CHopwatchDlg.h"
#include "app/dialog_test_support.h"
#include "foundation/utf.h"
#include "report/report_export.h"
#include "resources/resource_ids.h"
#include "results/list_columns.h"
#include "support/CSettingsSnapshot.h"

namespace {

CString Environment(LPCWSTR name) {
    wchar_t buffer[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, buffer, 1024);
    return length > 0 && length < 1024 ? CString(buffer, length) : CString();
}

std::vector<CString> FilesIn(const CString& dir, LPCWSTR pattern) {
    std::vector<CString> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((dir + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(dir + found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

// The dialog over the scripted route with LOCALAPPDATA and TEMP in a fresh folder, every box
// and the browser recorded, recording on.
class RecordingDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PrepareDialogTests(); }
    void SetUp() override {
        UseTestRunSettings();
        g_dwRecordRuns = 1;
        g_dwMaxTTL = 6;
        m_oldLocal = Environment(L"LOCALAPPDATA");
        m_oldTemp = Environment(L"TEMP");
        wchar_t temp[MAX_PATH + 1];
        m_dir = CString(temp, ::GetTempPathW(MAX_PATH + 1, temp)) + L"hopwatch recording " +
                std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(m_dir.c_str(), nullptr);
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", m_dir.c_str());
        ::SetEnvironmentVariableW(L"TEMP", m_dir.c_str());
        SetHopwatchReportOpenHandler([this](const CString& path) {
            m_report = path;
            return 0;
        });
        m_net.target = TestIp(192, 0, 2, 1);
        m_net.local = TestIp(192, 0, 2, 100);
        m_net.route = {TestIp(198, 51, 100, 1), TestIp(198, 51, 100, 2)};
        m_dlg = std::make_unique<CHopwatchDlg>(&m_net);
        // The scripted clock runs the engine far faster than any wire: its sender waits for the
        // recorder now and then, as a real schedule does, so that the ring never overflows.
        m_net.onSend = [this](const CFakeHopwatchNetwork::SSent&) {
            if (++m_sends % 256 == 0)
                m_dlg->GetRecorder().Sync();
        };
        ASSERT_TRUE(m_dlg->Create(nullptr));
        PumpMessages();
    }
    void TearDown() override {
        if (m_dlg && m_dlg->m_hWnd != nullptr)
            ::DestroyWindow(m_dlg->m_hWnd);
        PumpMessages();
        m_dlg.reset();
        SetHopwatchReportOpenHandler({});
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", m_oldLocal.c_str());
        ::SetEnvironmentVariableW(L"TEMP", m_oldTemp.c_str());
        RemoveAll(m_dir);
    }
    static void RemoveAll(const CString& dir) {
        for (const CString& sub :
             {CString(L"Hopwatch\\Recordings\\"), CString(L"Hopwatch\\"), CString()}) {
            for (const CString& file : FilesIn(dir + sub, L"*"))
                ::DeleteFileW(file.c_str());
            ::RemoveDirectoryW((dir + sub).c_str());
        }
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dlg->m_hWnd, id); }
    void Send(int id, WORD code) { SendCommand(m_dlg->m_hWnd, id, code); }
    template <typename Done> bool TickUntil(Done done) {
        return TickDialogUntil(m_dlg->m_hWnd, m_dlg->GetRefreshTimerId(), done);
    }
    bool Visible(int id) const { return (::GetWindowLongW(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    CString Text(int id) const { return CWnd(Item(id)).GetWindowText(); }
    // Runs the scripted route until its rows are there and it has stopped.
    void RunAndStop() {
        ::SetWindowTextW(Item(IDC_HOST_COMBO), L"192.0.2.1");
        Send(IDC_HOST_COMBO, CBN_EDITCHANGE);
        Send(IDC_START, BN_CLICKED);
        ASSERT_TRUE(TickUntil([&] {
            SHopwatchHost host;
            return m_dlg->GetData().IsRouteComplete() &&
                   m_dlg->GetData().GetRow(3, host, 0, TRUE) && host.received >= 3;
        }));
        Send(IDC_START, BN_CLICKED);
        ASSERT_TRUE(TickUntil([&] { return Visible(IDC_HOST_COMBO); }));
        TickUntil([] { return true; }); // one more refresh after the end
        m_dlg->GetRecorder().Finish();
    }
    // Every cell of the list.
    std::vector<CString> Cells() const {
        std::vector<CString> cells;
        CHopwatchListView& list = m_dlg->GetListView();
        for (int item = 0; item < list.GetItemCount(); ++item)
            for (int column = 0; column < kHopwatchColumnCount; ++column) {
                CString text;
                list.GetItemText(item, column, text);
                cells.push_back(text);
            }
        return cells;
    }

    CSettingsSnapshot m_saved;
    CRecordedBoxes m_boxes;
    CFakeHopwatchNetwork m_net;
    std::unique_ptr<CHopwatchDlg> m_dlg;
    CString m_dir;
    CString m_oldLocal;
    CString m_oldTemp;
    CString m_report;
    int m_sends = 0; // on the ping worker's thread
};

} // namespace

TEST_F(RecordingDialog, ARunIsRecordedAndOpensAgainWithTheSameRowsTitleAndTimes) {
    HMENU menu = ::GetSystemMenu(m_dlg->m_hWnd, FALSE);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 4);
    wchar_t open[64] = {};
    ::GetMenuStringW(menu, count - 3, open, 64, MF_BYPOSITION);
    EXPECT_STREQ(L"&Open recording...", open);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(menu, count - 1));

    RunAndStop();
    const std::vector<CString> live = Cells();
    ASSERT_GE(live.size(), 4u * kHopwatchColumnCount);
    const std::vector<CString> files = FilesIn(m_dir + L"Hopwatch\\Recordings\\", L"*.hwrec");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].find(L"_192.0.2.1.hwrec"), CString::npos);
    EXPECT_EQ(m_dlg->GetRecorder().GetPath(), files[0]);

    ASSERT_TRUE(m_dlg->OpenRecording(files[0]));
    EXPECT_TRUE(m_dlg->IsShowingRecording());
    TickUntil([] { return true; });
    EXPECT_EQ(Cells(), live);
    EXPECT_FALSE(Visible(IDC_HOST_COMBO));
    EXPECT_TRUE(Visible(IDC_PROGRESS));
    EXPECT_EQ(Text(IDC_PROGRESS).rfind(L"192.0.2.1  (recorded ", 0), 0u) << Text(IDC_PROGRESS);
    EXPECT_EQ(Text(IDC_START), L"&Start");
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_EXPORT)));
    EXPECT_TRUE(m_boxes.Boxes().empty());

    // Its report: the recording's title, not the text of the bar.
    Send(IDC_EXPORT, BN_CLICKED);
    ASSERT_FALSE(m_report.empty());
    HANDLE file = ::CreateFileW(m_report.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char bytes[65536];
    DWORD got = 0;
    ::ReadFile(file, bytes, sizeof(bytes), &got, nullptr);
    ::CloseHandle(file);
    ::DeleteFileW(m_report.c_str());
    const std::string report(bytes, got);
    EXPECT_NE(report.find("192.0.2.1"), std::string::npos);
    EXPECT_EQ(report.find("(recorded"), std::string::npos);

    // Start leaves the recording for a new run, recorded in a file of its own.
    RunAndStop();
    EXPECT_FALSE(m_dlg->IsShowingRecording());
    EXPECT_EQ(FilesIn(m_dir + L"Hopwatch\\Recordings\\", L"*.hwrec").size(), 2u);
}

TEST_F(RecordingDialog, TheTimelineShowsARecordingOpenedAgainAndTheLiveRunAfterTheNextStart) {
    RunAndStop();
    const STimelineBucket live = m_dlg->GetTimeline().GetLaneTotal({3, 0});
    ASSERT_GE(live.answered, 3u);
    Send(IDC_TIMELINE, BN_CLICKED);
    CHopwatchTimelineWnd& window = m_dlg->GetTimelineWindow();
    ASSERT_TRUE(window.IsOpen());
    const std::vector<CString> files = FilesIn(m_dir + L"Hopwatch\\Recordings\\", L"*.hwrec");
    ASSERT_EQ(files.size(), 1u);
    ASSERT_TRUE(m_dlg->OpenRecording(files[0]));
    const CHopwatchTimeline& recorded = m_dlg->GetShownTimeline();
    EXPECT_NE(&recorded, &m_dlg->GetTimeline());
    EXPECT_EQ(recorded.GetLaneTotal({3, 0}).sent, live.sent);
    EXPECT_EQ(recorded.GetLaneTotal({3, 0}).answered, live.answered);
    EXPECT_EQ(window.GetScreen().RunInfo().length, recorded.GetRunInfo().length);
    EXPECT_EQ(window.GetScreen().Rows().GetSize(), m_dlg->GetListView().GetItemCount());

    RunAndStop(); // the next run takes the window back
    EXPECT_EQ(&m_dlg->GetShownTimeline(), &m_dlg->GetTimeline());
    window.Refresh(true);
    EXPECT_EQ(window.GetScreen().RunInfo().length, m_dlg->GetTimeline().GetRunInfo().length);
}

TEST_F(RecordingDialog, WhatCannotBeReadOrWrittenIsSaidInABox) {
    // Not a recording: refused, the window stays as it was.
    const CString other = m_dir + L"notes.hwrec";
    HANDLE file =
        ::CreateFileW(other.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, "just text\r\n", 11, &written, nullptr);
    ::CloseHandle(file);
    EXPECT_FALSE(m_dlg->OpenRecording(other));
    EXPECT_FALSE(m_dlg->IsShowingRecording());
    ASSERT_EQ(m_boxes.CountCaption(L"Open recording"), 1);
    EXPECT_NE(m_boxes.Boxes().back().text.find(L"is not a Hopwatch recording."), CString::npos);

    // A folder that cannot be made: the run completes, and its end says once that the
    // recording stopped, with the system's reason.
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", other.c_str());
    RunAndStop();
    EXPECT_GE(Cells().size(), 4u * kHopwatchColumnCount);
    ASSERT_EQ(m_boxes.CountCaption(L"Recording stopped"), 1);
    EXPECT_EQ(m_boxes.Boxes().back().text.rfind(L"The recording of this run stopped: Error ", 0),
              0u);
    EXPECT_EQ(m_boxes.CountCaption(L"Error pinging target"), 0);
}
