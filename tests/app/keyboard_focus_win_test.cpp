// The keyboard focus of the main window on every road that disables or hides the control that
// has it: keys reach the dialog manager as the modal loop hands them over (IsDialogMessage), and
// Escape ends the window in every state.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/CHopwatchDlg.h"
#include "app/dialog_test_support.h"
#include "resources/resource_ids.h"
#include "results/run_state_view.h"
#include "support/CSettingsSnapshot.h"

namespace {

const DWORD kTarget = TestIp(192, 0, 2, 1);
const DWORD kHop = TestIp(198, 51, 100, 1);

class KeyboardFocus : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PrepareDialogTests(); }

    void SetUp() override {
        UseTestRunSettings();
        m_net.target = kTarget;
        m_net.local = TestIp(192, 0, 2, 100);
        m_net.route = {kHop};
    }
    void TearDown() override {
        m_net.Release();
        if (m_dlg && m_dlg->m_hWnd != nullptr)
            ::DestroyWindow(m_dlg->m_hWnd);
        PumpMessages();
        m_dlg.reset();
    }

    void Create(const CString& commandLine = CString()) {
        m_dlg = std::make_unique<CHopwatchDlg>(&m_net);
        m_dlg->SetCommandLineText(commandLine);
        ASSERT_TRUE(m_dlg->Create(nullptr));
        m_hWnd = m_dlg->m_hWnd;
        PumpMessages();
    }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // The dialog control that has the focus (the host box for its edit part); 0 for none.
    int FocusId() const {
        HWND focus = ::GetFocus();
        if (focus == nullptr || !::IsChild(m_hWnd, focus))
            return 0;
        if (::GetParent(focus) == Item(IDC_HOST_COMBO))
            return IDC_HOST_COMBO;
        return ::GetDlgCtrlID(focus);
    }
    // The focus is on a control a person can use: enabled and shown.
    bool FocusUsable() const {
        int id = FocusId();
        return id != 0 && ::IsWindowEnabled(Item(id)) &&
               (::GetWindowLongW(Item(id), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    void FocusOn(int id) {
        ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
        ASSERT_EQ(id, FocusId());
    }
    // A key as the modal loop hands it to the dialog manager: to the window with the focus, or,
    // when none has it, to the active window as a system key (which the dialog manager ignores).
    void Key(UINT message, WPARAM key) {
        MSG msg = {};
        msg.hwnd = ::GetFocus();
        msg.message = message;
        if (msg.hwnd == nullptr) {
            msg.hwnd = m_hWnd;
            msg.message = message == WM_KEYDOWN ? WM_SYSKEYDOWN : message;
        }
        msg.wParam = key;
        if (!::IsDialogMessageW(m_hWnd, &msg))
            ::DispatchMessageW(&msg);
        PumpMessages();
    }
    void AltS() { Key(WM_SYSCHAR, 's'); }
    void TypeHost(const CString& text) {
        FocusOn(IDC_HOST_COMBO);
        ::SetWindowTextW(Item(IDC_HOST_COMBO), text.c_str());
        ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_HOST_COMBO, CBN_EDITCHANGE),
                       reinterpret_cast<LPARAM>(Item(IDC_HOST_COMBO)));
    }
    template <typename Pred> bool TickUntil(Pred pred) {
        return TickDialogUntil(m_hWnd, m_dlg->GetRefreshTimerId(), pred);
    }
    CString StartText() const {
        CWnd start(Item(IDC_START));
        return start.GetWindowText();
    }
    bool Running() const { return StartText() == kStopButtonText; }
    bool Stopped() const {
        return StartText() == kStartButtonText && ::IsWindowEnabled(Item(IDC_START));
    }
    // Stops the run with the worker held, so the window is seen in its Stopping state.
    void StopHeldByKey() {
        m_net.Hold();
        ASSERT_TRUE(
            m_net.WaitUntilHeld([this] { return !m_dlg->GetData().IsPingWorkerRunning(); }));
        AltS();
        ASSERT_EQ(CString(kStoppingButtonText), StartText());
        EXPECT_EQ(IDC_RESULTS, FocusId()) << "Start/Stop is disabled while stopping";
        m_net.Release();
        ASSERT_TRUE(TickUntil([this] { return Stopped(); }));
    }
    void ExpectEscapeEnds() {
        Key(WM_KEYDOWN, VK_ESCAPE);
        EXPECT_FALSE(::IsWindow(m_hWnd)) << "Escape ends the window";
    }

    CSettingsSnapshot m_saved;
    CRecordedBoxes m_boxes;
    CHeldNetwork m_net;
    std::unique_ptr<CHopwatchDlg> m_dlg;
    HWND m_hWnd = nullptr;
};

TEST_F(KeyboardFocus, AltSStartsAndStopsAndTheFocusFollowsTheButton) {
    Create();
    TypeHost(L"192.0.2.1");
    AltS();
    ASSERT_TRUE(Running());
    EXPECT_EQ(IDC_START, FocusId()) << "the host box is hidden: the focus is on Stop";
    StopHeldByKey();
    EXPECT_EQ(IDC_START, FocusId()) << "back on Start once it is enabled again";
    ExpectEscapeEnds();
}

TEST_F(KeyboardFocus, EnterInTheHostBoxStartsAndEscapeEndsTheRunningWindow) {
    Create();
    TypeHost(L"192.0.2.1");
    Key(WM_KEYDOWN, VK_RETURN);
    ASSERT_TRUE(Running());
    EXPECT_TRUE(FocusUsable());
    ExpectEscapeEnds();
}

TEST_F(KeyboardFocus, ClickedStartAndStopKeepTheFocusInTheWindow) {
    Create();
    TypeHost(L"192.0.2.1");
    FocusOn(IDC_START); // a click focuses the button it clicks
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(IDC_START)));
    PumpMessages();
    ASSERT_TRUE(Running());
    EXPECT_EQ(IDC_START, FocusId());
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(IDC_START)));
    PumpMessages();
    EXPECT_TRUE(FocusUsable());
    ASSERT_TRUE(TickUntil([this] { return Stopped(); }));
    EXPECT_TRUE(FocusUsable());
    ExpectEscapeEnds();
}

TEST_F(KeyboardFocus, TheCommandLinesStartLeavesTheFocusOnStop) {
    Create(L"192.0.2.1");
    ASSERT_TRUE(Running());
    EXPECT_EQ(IDC_START, FocusId());
    StopHeldByKey();
    ExpectEscapeEnds();
}

TEST_F(KeyboardFocus, ARunEndingInAnErrorLeavesTheFocusOnStart) {
    m_net.target = 0; // the host does not resolve
    m_net.resolveError = 11001;
    Create();
    TypeHost(L"nowhere.invalid");
    AltS();
    ASSERT_TRUE(TickUntil([this] { return Stopped(); }));
    ASSERT_EQ(1, m_boxes.CountCaption(L"Error pinging target"));
    EXPECT_EQ(IDC_START, FocusId());
    ExpectEscapeEnds();
}

TEST_F(KeyboardFocus, ADoubleClickRestartKeepsTheFocusUsable) {
    Create();
    TypeHost(L"192.0.2.1");
    AltS();
    ASSERT_TRUE(TickUntil([this] { return ListView_GetItemCount(Item(IDC_RESULTS)) >= 3; }));
    FocusOn(IDC_RESULTS); // a double-click focuses the list
    NMITEMACTIVATE activate = {};
    activate.hdr.hwndFrom = Item(IDC_RESULTS);
    activate.hdr.idFrom = IDC_RESULTS;
    activate.hdr.code = NM_DBLCLK;
    activate.iItem = 1; // the hop
    ::SendMessageW(m_hWnd, WM_NOTIFY, IDC_RESULTS, reinterpret_cast<LPARAM>(&activate));
    PumpMessages();
    ASSERT_EQ(1, m_boxes.CountCaption(L"Please confirm"));
    ASSERT_TRUE(Running());
    EXPECT_TRUE(FocusUsable());
    StopHeldByKey();
    ExpectEscapeEnds();
}

} // namespace
