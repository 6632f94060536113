// The main window's host entry by double-click and the options command, in-process: real
// controls over the scripted network, the "Please confirm" box answered by the test.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "app/CHopwatchApp.h"
#include "app/CHopwatchDlg.h"
#include "app/dialog_test_support.h"
#include "engine/inet_address.h"
#include "resources/options_page_ids.h"
#include "resources/resource_ids.h"
#include "settings/settings_globals.h"
#include "support/CSettingsSnapshot.h"
#include "support/test_datagrams.h"

namespace {

const DWORD kTarget = TestIp(192, 0, 2, 1);
const DWORD kRouter1 = TestIp(198, 51, 100, 1);
const DWORD kRouter2 = TestIp(198, 51, 100, 2);

// The held network whose resolver also knows the second router by its dotted address.
class CRouteNetwork : public CHeldNetwork {
public:
    HopwatchHostResolver HostResolver() override {
        return [held = CHeldNetwork::HostResolver()](const CString& text, DWORD& address,
                                                     DWORD& error) -> BOOL {
            BOOL resolved = held(text, address, error);
            if (text == L"198.51.100.2")
                address = kRouter2;
            return resolved;
        };
    }
};

class HostEntry : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PrepareDialogTests(); }

    void SetUp() override {
        UseTestRunSettings();
        m_net.target = kTarget;
        m_net.local = TestIp(192, 0, 2, 100);
        m_net.route = {kRouter1, kRouter2};
        m_dlg = std::make_unique<CHopwatchDlg>(&m_net);
        ASSERT_TRUE(m_dlg->Create(nullptr)); // hidden, like the other dialog tests
        PumpMessages();
    }
    void TearDown() override {
        m_net.Release();
        if (m_dlg && m_dlg->m_hWnd != nullptr)
            ::DestroyWindow(m_dlg->m_hWnd);
        PumpMessages();
        m_dlg.reset();
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dlg->m_hWnd, id); }
    CString TextOf(int id) const {
        CWnd wnd(Item(id));
        return wnd.GetWindowText();
    }
    void Tick() {
        ::SendMessageW(m_dlg->m_hWnd, WM_TIMER, m_dlg->GetRefreshTimerId(), 0);
        PumpMessages();
    }
    template <typename Pred> bool TickUntil(Pred pred) {
        return TickDialogUntil(m_dlg->m_hWnd, m_dlg->GetRefreshTimerId(), pred);
    }
    // Starts a run on host as the user would and waits until its rows show.
    void StartOn(const CString& host) {
        ::SetWindowTextW(Item(IDC_HOST_COMBO), host.c_str());
        ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_HOST_COMBO, CBN_EDITCHANGE),
                       reinterpret_cast<LPARAM>(Item(IDC_HOST_COMBO)));
        ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(IDC_START)));
        PumpMessages();
        ASSERT_TRUE(TickUntil([this] { return RowOf(kTarget) >= 0 && RowOf(kRouter2) >= 0; }));
    }
    // The list row showing address, or -1.
    int RowOf(DWORD address) const {
        int rows = ListView_GetItemCount(Item(IDC_RESULTS));
        for (int row = 0; row < rows; ++row) {
            SHopwatchHost host;
            if (m_dlg->GetData().GetRow(row, host, kHopwatchNone, TRUE) && host.address == address)
                return row;
        }
        return -1;
    }
    // What the results list tells its dialog when an item is double-clicked (-1: no item).
    void DoubleClick(int item) {
        NMITEMACTIVATE activate = {};
        activate.hdr.hwndFrom = Item(IDC_RESULTS);
        activate.hdr.idFrom = IDC_RESULTS;
        activate.hdr.code = NM_DBLCLK;
        activate.iItem = item;
        activate.iSubItem = 1;
        ::SendMessageW(m_dlg->m_hWnd, WM_NOTIFY, IDC_RESULTS, reinterpret_cast<LPARAM>(&activate));
        PumpMessages();
    }
    CString ComboItem(int index) const {
        CComboBox combo;
        combo.Attach(Item(IDC_HOST_COMBO));
        return combo.GetLBText(index);
    }
    // Shows the history in the host box, as at start-up.
    void ShowHistory() {
        CComboBox combo;
        combo.Attach(Item(IDC_HOST_COMBO));
        m_dlg->FillHostCombo(combo);
        combo.SetCurSel(0);
        m_dlg->UpdateStartButton();
    }
    int ComboCount() const {
        return static_cast<int>(::SendMessageW(Item(IDC_HOST_COMBO), CB_GETCOUNT, 0, 0));
    }

    CSettingsSnapshot m_saved;
    CRecordedBoxes m_boxes;
    CRouteNetwork m_net;
    std::unique_ptr<CHopwatchDlg> m_dlg;
};

TEST_F(HostEntry, TheTargetsRowAnEmptyAreaAndAnUnlearntAddressAskNothing) {
    StartOn(L"192.0.2.1");
    DoubleClick(RowOf(kTarget));
    DoubleClick(-1);
    DoubleClick(ListView_GetItemCount(Item(IDC_RESULTS)) + 3);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(HostEntry, AHopWithoutAnAnswerYetAsksNothing) {
    // Held, the worker has sent its first probes but read no answer: the hop rows have no
    // address yet.
    m_net.Hold();
    ::SetWindowTextW(Item(IDC_HOST_COMBO), L"192.0.2.1");
    ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(IDC_START)));
    PumpMessages();
    auto gone = [this] { return !m_dlg->GetData().IsPingWorkerRunning(); };
    ASSERT_TRUE(m_net.WaitUntilHeld(gone));
    m_net.Step(300000);
    ASSERT_TRUE(m_net.WaitUntilHeld(gone));
    Tick();
    ASSERT_GE(ListView_GetItemCount(Item(IDC_RESULTS)), 2);
    SHopwatchHost hop;
    ASSERT_TRUE(m_dlg->GetData().GetRow(1, hop, kHopwatchNone, TRUE));
    ASSERT_EQ(kHopwatchNone, hop.address);
    DoubleClick(1);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_TRUE(m_dlg->GetData().IsRunning());
}

TEST_F(HostEntry, TheQuestionNamesTheHopWhenItHasAName) {
    StartOn(L"192.0.2.1");
    m_boxes.Answer(IDCANCEL);
    DoubleClick(RowOf(kRouter1));
    m_dlg->GetData().ApplyHostName(kRouter1, L"r1.example");
    m_dlg->GetData().ApplyHostName(kRouter2, L" (no name)");
    DoubleClick(RowOf(kRouter1));
    DoubleClick(RowOf(kRouter2));
    ASSERT_EQ(3u, m_boxes.Boxes().size());
    EXPECT_EQ(L"Ping 198.51.100.1\r\ninstead ?", m_boxes.Boxes()[0].text);
    EXPECT_EQ(L"Ping 198.51.100.1\r\n(a.k.a. r1.example)\r\ninstead ?", m_boxes.Boxes()[1].text);
    EXPECT_EQ(L"Ping 198.51.100.2\r\ninstead ?", m_boxes.Boxes()[2].text);
    for (const CRecordedBoxes::SBox& box : m_boxes.Boxes()) {
        EXPECT_EQ(L"Please confirm", box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL), box.type & MB_TYPEMASK);
        EXPECT_EQ(static_cast<UINT>(MB_ICONQUESTION), box.type & MB_ICONMASK);
    }
}

TEST_F(HostEntry, CancelLeavesTheRunningTestAlone) {
    g_HostHistory.AddTail(L"older.example");
    StartOn(L"192.0.2.1");
    CString title = TextOf(IDC_PROGRESS);
    m_boxes.Answer(IDCANCEL);
    DoubleClick(RowOf(kRouter2));
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_TRUE(m_dlg->GetData().IsRunning());
    EXPECT_EQ(HopwatchSwapOrder(kTarget), m_dlg->GetData().GetTargetAddress());
    EXPECT_EQ(L"&Stop", TextOf(IDC_START));
    EXPECT_EQ(title, TextOf(IDC_PROGRESS));
    EXPECT_EQ(L"192.0.2.1|older.example", g_HostHistory.Join(L"|"));
}

TEST_F(HostEntry, OkRestartsOnTheHopWhichHeadsTheHistory) {
    g_HostHistory.AddTail(L"198.51.100.2");
    g_HostHistory.AddTail(L"older.example");
    StartOn(L"192.0.2.1");
    DoubleClick(RowOf(kRouter2));
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    // The address has no name to add to the run's title: the bar shows it from the start.
    EXPECT_EQ(L"198.51.100.2", TextOf(IDC_PROGRESS));

    // The hop is the new target, at once running, and the only copy in the history.
    EXPECT_TRUE(m_dlg->GetData().IsRunning());
    EXPECT_EQ(L"&Stop", TextOf(IDC_START));
    EXPECT_EQ(L"198.51.100.2|192.0.2.1|older.example", g_HostHistory.Join(L"|"));
    ASSERT_EQ(3, ComboCount());
    EXPECT_EQ(L"198.51.100.2", ComboItem(0));
    EXPECT_EQ(L"198.51.100.2", TextOf(IDC_HOST_COMBO));
    EXPECT_TRUE(m_dlg->GetStartTime().IsSet());
    EXPECT_FALSE(m_dlg->GetStopTime().IsSet());

    // The new run's rows replace the old ones.
    ASSERT_TRUE(TickUntil([this] { return RowOf(kRouter2) >= 0 && RowOf(kTarget) < 0; }));
    EXPECT_EQ(HopwatchSwapOrder(kRouter2), m_dlg->GetData().GetTargetAddress());
    // Resolved on a thread of the ping worker's, so looked at once the new run is under way.
    EXPECT_EQ(L"198.51.100.2", m_net.ResolvedText());
    EXPECT_EQ(1u, m_boxes.Boxes().size()); // no error on the way
}

TEST_F(HostEntry, AFailedRestartIsReportedAsStartReportsIt) {
    StartOn(L"192.0.2.1");
    m_net.openError = 10013;
    DoubleClick(RowOf(kRouter1));
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ(L"Error starting raw socket", m_boxes.Boxes()[1].caption);
    EXPECT_EQ(0u,
              m_boxes.Boxes()[1].text.find(L"Unable to initialize raw socket for pinging.\r\n"));
    Tick();
    EXPECT_EQ(L"&Start", TextOf(IDC_START));
    EXPECT_EQ(L"198.51.100.1", g_HostHistory.GetHead()->m_data);
}

// The options command: the sheet runs modal inside OnOptions, so a timer drives it from within
// its own message loop, as the user would, and closes it.
class Options : public HostEntry {
protected:
    static HWND FindSheet() { return ::FindWindowW(nullptr, L"Hopwatch Options"); }
    static void CALLBACK RemoveAllAndOk(HWND, UINT, UINT_PTR id, DWORD) {
        HWND sheet = FindSheet();
        if (sheet == nullptr)
            return; // not up yet: the next tick
        ::KillTimer(nullptr, id);
        ::SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        HWND page = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        HWND list = ::GetDlgItem(page, IDC_HOST_LIST);
        int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
        ::SendMessageW(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, count - 1));
        ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_HOST_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
        ::SendMessageW(::GetDlgItem(page, IDC_REMOVE_HOSTS), BM_CLICK, 0, 0);
        ::SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    }
    static void CALLBACK Cancel(HWND, UINT, UINT_PTR id, DWORD) {
        HWND sheet = FindSheet();
        if (sheet == nullptr)
            return;
        ::KillTimer(nullptr, id);
        ::SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    }
    // Clicks Options with script driving the sheet; a watchdog closes a sheet left open.
    void ClickOptions(TIMERPROC script) {
        UINT_PTR step = ::SetTimer(nullptr, 0, 10, script);
        UINT_PTR watchdog = ::SetTimer(nullptr, 0, 5000, &Options::Cancel);
        ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(IDC_OPTIONS)));
        ::KillTimer(nullptr, step);
        ::KillTimer(nullptr, watchdog);
        PumpMessages();
    }
};

TEST_F(Options, RemovingEveryHostEmptiesTheHostBoxAndMarksTheSettingsForSaving) {
    g_HostHistory.AddTail(L"a.example");
    g_HostHistory.AddTail(L"198.51.100.7");
    ShowHistory();
    g_bSaveSettings = FALSE;
    ClickOptions(&Options::RemoveAllAndOk);
    EXPECT_EQ(nullptr, FindSheet());
    EXPECT_EQ(0, g_HostHistory.GetCount());
    EXPECT_EQ(0, ComboCount());
    EXPECT_EQ(L"", TextOf(IDC_HOST_COMBO));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_START)));
    EXPECT_TRUE(g_bSaveSettings);
}

TEST_F(Options, TheHostBoxKeepsTheFocusWhenTheSheetHasRefilledIt) {
    g_HostHistory.AddTail(L"a.example");
    ShowHistory();
    // Shown, so that the closing sheet hands the activation back to it, as it does for a person.
    ::ShowWindow(m_dlg->m_hWnd, SW_SHOW);
    ::SendMessageW(m_dlg->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_HOST_COMBO)),
                   TRUE);
    ClickOptions(&Options::RemoveAllAndOk);
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus != nullptr && ::GetParent(focus) == Item(IDC_HOST_COMBO))
        << "Escape and Tab still reach the window";
}

TEST_F(Options, CancelLeavesTheHostBoxAndTheSaveFlag) {
    g_HostHistory.AddTail(L"a.example");
    ShowHistory();
    g_bSaveSettings = FALSE;
    ClickOptions(&Options::Cancel);
    EXPECT_EQ(nullptr, FindSheet());
    EXPECT_EQ(L"a.example", TextOf(IDC_HOST_COMBO));
    EXPECT_EQ(1, ComboCount());
    EXPECT_FALSE(g_bSaveSettings);
}

} // namespace
