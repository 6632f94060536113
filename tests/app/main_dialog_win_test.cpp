// The main window in-process: real controls, the scripted network, driven by messages.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <memory>
#include <utility>
#include <thread>

#include "app/CHopwatchApp.h"
#include "app/CHopwatchDlg.h"
#include "app/dialog_test_support.h"
#include "foundation/numbers.h"
#include "foundation/system_error_text.h"
#include "foundation/window_placement_text.h"
#include "resources/resource_ids.h"
#include "results/list_columns.h"
#include "results/run_state_view.h"
#include "settings/settings_globals.h"
#include "support/CSettingsSnapshot.h"

namespace {

// What a person sees of one control.
struct SControl {
    CString text;
    bool enabled;
    bool visible;
};

class MainDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PrepareDialogTests(); }

    void SetUp() override {
        UseTestRunSettings();
        g_strMainWndPos.clear();
        m_net.target = TestIp(192, 0, 2, 1);
        m_net.local = TestIp(192, 0, 2, 100);
    }

    void TearDown() override {
        m_net.Release();
        Destroy();
    }

    void Create() {
        m_dlg = std::make_unique<CHopwatchDlg>(&m_net);
        // Left hidden (the controls' own visibility is their WS_VISIBLE style): without a window
        // manager, Wine waits two seconds for every shown window that goes away.
        ASSERT_TRUE(m_dlg->Create(nullptr));
        PumpMessages();
    }
    void Destroy() {
        if (m_dlg && m_dlg->m_hWnd != nullptr)
            ::DestroyWindow(m_dlg->m_hWnd);
        PumpMessages();
        m_dlg.reset();
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dlg->m_hWnd, id); }
    SControl Control(int id) const {
        CWnd wnd(Item(id));
        return SControl{wnd.GetWindowText(), wnd.IsWindowEnabled() != 0,
                        (wnd.GetStyle() & WS_VISIBLE) != 0};
    }
    // Types text into the host box as the user would: the edit changes, the box notifies.
    void TypeHost(const CString& text) {
        ::SetWindowTextW(Item(IDC_HOST_COMBO), text.c_str());
        ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_HOST_COMBO, CBN_EDITCHANGE),
                       reinterpret_cast<LPARAM>(Item(IDC_HOST_COMBO)));
    }
    // What the button tells the dialog when clicked (the clicks themselves are the end-to-end
    // test's: a hidden window's button does not always take BM_CLICK under Wine). A disabled
    // button cannot be clicked.
    void ClickStart() {
        if (!::IsWindowEnabled(Item(IDC_START)))
            return;
        ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(IDC_START)));
        PumpMessages();
    }
    void Tick() {
        ::SendMessageW(m_dlg->m_hWnd, WM_TIMER, m_dlg->GetRefreshTimerId(), 0);
        PumpMessages();
    }
    // Ticks until the dialog shows the Stopped state, bounded in ticks and time.
    bool TickUntilStopped() {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (int i = 0; i < 100000 && std::chrono::steady_clock::now() < end; ++i) {
            Tick();
            if (Control(IDC_START).text == kStartButtonText && Control(IDC_HOST_COMBO).visible)
                return true;
            std::this_thread::yield();
        }
        return false;
    }
    // Ticks until at least rows list items show, bounded.
    bool TickUntilRows(int rows) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (int i = 0; i < 100000 && std::chrono::steady_clock::now() < end; ++i) {
            Tick();
            if (ListView_GetItemCount(Item(IDC_RESULTS)) >= rows)
                return true;
            std::this_thread::yield();
        }
        return false;
    }

    void ExpectStopped(bool startEnabled) {
        SControl combo = Control(IDC_HOST_COMBO), start = Control(IDC_START);
        EXPECT_TRUE(combo.visible);
        EXPECT_TRUE(combo.enabled);
        EXPECT_FALSE(Control(IDC_PROGRESS).visible);
        EXPECT_EQ(CString(L"&Start"), start.text);
        EXPECT_EQ(startEnabled, start.enabled);
        EXPECT_TRUE(Control(IDC_OPTIONS).enabled);
    }
    void ExpectRunning() {
        SControl combo = Control(IDC_HOST_COMBO), start = Control(IDC_START);
        EXPECT_FALSE(combo.visible);
        EXPECT_FALSE(combo.enabled);
        EXPECT_TRUE(Control(IDC_PROGRESS).visible);
        EXPECT_EQ(CString(L"&Stop"), start.text);
        EXPECT_TRUE(start.enabled);
        EXPECT_FALSE(Control(IDC_OPTIONS).enabled);
    }
    void ExpectStopping() {
        SControl start = Control(IDC_START);
        EXPECT_FALSE(Control(IDC_HOST_COMBO).visible);
        EXPECT_TRUE(Control(IDC_PROGRESS).visible);
        EXPECT_EQ(CString(L"Stopping..."), start.text);
        EXPECT_FALSE(start.enabled);
        EXPECT_FALSE(Control(IDC_OPTIONS).enabled);
    }
    bool ExportEnabled() const { return Control(IDC_EXPORT).enabled; }
    int ProgressPos() const {
        return static_cast<int>(::SendMessageW(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0));
    }

    CSettingsSnapshot m_saved;
    CRecordedBoxes m_boxes;
    CHeldNetwork m_net;
    std::unique_ptr<CHopwatchDlg> m_dlg;
};

TEST_F(MainDialog, OpensStoppedWithTheTemplatesControlsColumnsAndMenu) {
    Create();
    wchar_t caption[64] = {};
    ::GetWindowTextW(m_dlg->m_hWnd, caption, 64);
    EXPECT_STREQ(L"Hopwatch", caption);
    ExpectStopped(false);
    EXPECT_FALSE(ExportEnabled());
    EXPECT_EQ(CString(L"&Options"), Control(IDC_OPTIONS).text);
    EXPECT_EQ(CString(L"&Export"), Control(IDC_EXPORT).text);
    EXPECT_FALSE(Control(IDOK).visible);
    EXPECT_FALSE(Control(IDOK).enabled);
    EXPECT_FALSE(Control(IDCANCEL).visible);

    HWND header = ListView_GetHeader(Item(IDC_RESULTS));
    ASSERT_EQ(12, Header_GetItemCount(header));
    const wchar_t* headers[12] = {L"TTL",         L"Address",      L"Host Name",
                                  L"Loss",        L"Tx",           L"Rx",
                                  L"Lost",        L"Last RT [ms]", L"Min RT [ms]",
                                  L"Avg RT [ms]", L"Max RT [ms]",  L"Note / History"};
    for (int i = 0; i < 12; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(ListView_GetColumn(Item(IDC_RESULTS), i, &column));
        EXPECT_STREQ(headers[i], text);
        EXPECT_EQ(i, column.iSubItem);
        bool left = i == 1 || i == 2 || i == 11;
        EXPECT_EQ(left ? LVCFMT_LEFT : LVCFMT_RIGHT, column.fmt & LVCFMT_JUSTIFYMASK) << i;
    }
    DWORD style = ListView_GetExtendedListViewStyle(Item(IDC_RESULTS));
    EXPECT_EQ(0x00010021u, style & 0x00010021u);
    EXPECT_NE(nullptr, ListView_GetImageList(Item(IDC_RESULTS), LVSIL_SMALL));
    EXPECT_EQ(8, ImageList_GetImageCount(ListView_GetImageList(Item(IDC_RESULTS), LVSIL_SMALL)));

    HMENU menu = ::GetSystemMenu(m_dlg->m_hWnd, FALSE);
    int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    wchar_t about[64] = {};
    ::GetMenuStringW(menu, count - 1, about, 64, MF_BYPOSITION);
    EXPECT_STREQ(L"&About Hopwatch...", about);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(menu, count - 1));
}

TEST_F(MainDialog, StartFollowsTheTrimmedHostText) {
    Create();
    TypeHost(L" \t\r\n ");
    EXPECT_FALSE(Control(IDC_START).enabled);
    TypeHost(L"  h  ");
    EXPECT_TRUE(Control(IDC_START).enabled);
    TypeHost(L"");
    EXPECT_FALSE(Control(IDC_START).enabled);
}

TEST_F(MainDialog, PickingAHistoryEntryEnablesStart) {
    g_HostHistory.AddTail(L"192.0.2.1");
    Create();
    TypeHost(L"");
    ASSERT_FALSE(Control(IDC_START).enabled);
    ::SendMessageW(Item(IDC_HOST_COMBO), CB_SETCURSEL, 0, 0);
    ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_HOST_COMBO, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Item(IDC_HOST_COMBO)));
    EXPECT_TRUE(Control(IDC_START).enabled);
}

TEST_F(MainDialog, ARunGoesThroughRunningStoppingAndStopped) {
    g_HostHistory.AddTail(L"other.example");
    g_HostHistory.AddTail(L"Target.Example");
    Create();
    EXPECT_EQ(2, static_cast<int>(::SendMessageW(Item(IDC_HOST_COMBO), CB_GETCOUNT, 0, 0)));
    TypeHost(L"  target.EXAMPLE \t");
    ClickStart();

    // The trimmed text, in its new letter case, heads the history once.
    ASSERT_EQ(2, g_HostHistory.GetCount());
    EXPECT_EQ(CString(L"target.EXAMPLE"), g_HostHistory.GetHead()->m_data);
    EXPECT_EQ(CString(L"other.example"), g_HostHistory.GetTail()->m_data);
    CComboBox combo;
    combo.Attach(Item(IDC_HOST_COMBO));
    EXPECT_EQ(2, combo.GetCount());
    EXPECT_EQ(CString(L"target.EXAMPLE"), combo.GetLBText(0));
    EXPECT_EQ(0, combo.GetCurSel());

    ExpectRunning();
    ASSERT_TRUE(TickUntilRows(2));
    EXPECT_EQ(CString(L"target.EXAMPLE"), m_net.ResolvedText());
    Tick(); // Export follows the rows at the next tick
    EXPECT_TRUE(ExportEnabled());
    EXPECT_TRUE(m_dlg->GetStartTime().IsSet());
    EXPECT_FALSE(m_dlg->GetStopTime().IsSet());
    // The run's title: the typed text, then the resolved address.
    EXPECT_EQ(0u, Control(IDC_PROGRESS).text.find(L"target.EXAMPLE"));

    // Held, the worker cannot finish stopping before the window has been looked at.
    m_net.Hold();
    ASSERT_TRUE(m_net.WaitUntilHeld([this] { return !m_dlg->GetData().IsPingWorkerRunning(); }));
    ClickStart();
    ExpectStopping();
    Tick();
    ExpectStopping();
    m_net.Release();
    ASSERT_TRUE(TickUntilStopped());
    ExpectStopped(true);
    EXPECT_TRUE(ExportEnabled());
    EXPECT_TRUE(m_dlg->GetStopTime().IsSet());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// Without administrator rights the run goes through the system's ICMP service; where the run's
// title shows, its tooltip says so.
TEST_F(MainDialog, ARefusedRawSocketRunsThroughTheServiceAndTheTitlesTooltipSaysSo) {
    m_net.rawOpenError = CFakeHopwatchNetwork::kAccessDenied;
    m_net.unprivilegedMethod = kProbeSystem;
    Create();
    TypeHost(L"192.0.2.1");
    ClickStart();
    EXPECT_TRUE(m_boxes.Boxes().empty());
    ExpectRunning();
    EXPECT_EQ(CString(L"Probing with the system's ICMP service, which needs no administrator "
                      L"rights"),
              m_dlg->GetProbeMethodTip());
    ASSERT_TRUE(TickUntilRows(2));
    m_net.rawOpenError = 0;
    m_dlg->GetData().Stop();
    ASSERT_TRUE(TickUntilStopped());
    ClickStart();
    EXPECT_EQ(CString(L"Probing with a raw ICMP socket"), m_dlg->GetProbeMethodTip());
}

TEST_F(MainDialog, AFailedStartShowsTheSocketErrorAndStaysStopped) {
    m_net.openError = 10013; // access denied: not run as administrator
    Create();
    TypeHost(L"192.0.2.1");
    ClickStart();
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    const CRecordedBoxes::SBox& box = m_boxes.Boxes()[0];
    EXPECT_EQ(CString(L"Error starting raw socket"), box.caption);
    EXPECT_EQ(CString(L"Unable to initialize raw socket for pinging.\r\n") +
                  SystemErrorText(10013, FALSE),
              box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.type & MB_ICONMASK);
    for (int i = 0; i < 5; ++i)
        Tick();
    ExpectStopped(true);
    EXPECT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(CString(L"192.0.2.1"), g_HostHistory.GetHead()->m_data);
}

TEST_F(MainDialog, ARunEndingInAnEngineErrorShowsItOnce) {
    m_net.target = 0; // the host does not resolve
    m_net.resolveError = 11001;
    Create();
    TypeHost(L"nowhere.invalid");
    ClickStart();
    ASSERT_TRUE(TickUntilStopped());
    for (int i = 0; i < 5; ++i)
        Tick();
    ASSERT_EQ(1, m_boxes.CountCaption(L"Error pinging target"));
    EXPECT_EQ(1u, m_boxes.Boxes().size());
    const CRecordedBoxes::SBox& box = m_boxes.Boxes()[0];
    EXPECT_EQ(m_dlg->GetData().GetErrorText() + L"\r\n" + SystemErrorText(11001, FALSE), box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.type & MB_ICONMASK);
    ExpectStopped(true);
}

TEST_F(MainDialog, HostNameStaysHiddenWithReverseLookupsOff) {
    Create();
    HWND list = Item(IDC_RESULTS);
    PumpMessages();
    EXPECT_EQ(0, ListView_GetColumnWidth(list, kColHostName));
    EXPECT_GT(ListView_GetColumnWidth(list, kColAddress), 0);
    TypeHost(L"192.0.2.1");
    ClickStart();
    ASSERT_TRUE(TickUntilRows(3));
    for (int i = 0; i < 20; ++i) {
        Tick();
        EXPECT_EQ(0, ListView_GetColumnWidth(list, kColHostName));
    }
    // Resizing re-fits the columns too.
    RECT rect;
    ::GetWindowRect(m_dlg->m_hWnd, &rect);
    ::SetWindowPos(m_dlg->m_hWnd, nullptr, 0, 0, rect.right - rect.left + 40,
                   rect.bottom - rect.top + 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages();
    EXPECT_EQ(0, ListView_GetColumnWidth(list, kColHostName));
}

// Counts the column widths the dialog sets on the list view, through a second subclass.
class CColumnWidthCounter {
public:
    explicit CColumnWidthCounter(HWND list) : m_list(list) {
        ::SetWindowSubclass(m_list, &CColumnWidthCounter::Proc, 1,
                            reinterpret_cast<DWORD_PTR>(this));
    }
    ~CColumnWidthCounter() { ::RemoveWindowSubclass(m_list, &CColumnWidthCounter::Proc, 1); }
    int Count() const { return m_count; }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR self) {
        if (msg == LVM_SETCOLUMNWIDTH)
            ++reinterpret_cast<CColumnWidthCounter*>(self)->m_count;
        return ::DefSubclassProc(hWnd, msg, wParam, lParam);
    }
    HWND m_list;
    int m_count = 0;
};

// Fitting a column measures every cell through the list view and repaints its header; a fit that
// could only give the same width again is left out, one that could not is still made.
TEST_F(MainDialog, ColumnsAreFittedAgainOnlyWhenWhatTheirWidthDependsOnChanged) {
    g_bReverseDNS = 1;
    Create();
    TypeHost(L"192.0.2.1");
    ClickStart();
    ASSERT_TRUE(TickUntilRows(3));
    m_net.Hold();
    ASSERT_TRUE(m_net.WaitUntilHeld([this] { return !m_dlg->GetData().IsPingWorkerRunning(); }));
    Tick();
    HWND list = Item(IDC_RESULTS);
    auto fitAll = [this] {
        ::PostMessageW(m_dlg->m_hWnd, CHopwatchDlg::ms_cnAutoSizeMsgID, 0, 0);
        PumpMessages();
    };
    fitAll();
    const int address = ListView_GetColumnWidth(list, kColAddress);
    CColumnWidthCounter counter(list);
    fitAll();
    EXPECT_EQ(0, counter.Count());
    EXPECT_EQ(address, ListView_GetColumnWidth(list, kColAddress));
    // A wider text widens its column.
    ASSERT_TRUE(m_dlg->GetListView().SetItemText(1, kColAddress, L"  255.255.255.255 (wider)"));
    fitAll();
    EXPECT_GT(counter.Count(), 0);
    EXPECT_GT(ListView_GetColumnWidth(list, kColAddress), address);
    // A divider dragged by the user is put back at the next fit, as it always was.
    ListView_SetColumnWidth(list, kColLoss, 3);
    fitAll();
    EXPECT_GT(ListView_GetColumnWidth(list, kColLoss), 3);
    m_net.Release();
}

TEST_F(MainDialog, HostNameIsSizedWithReverseLookupsOn) {
    g_bReverseDNS = 1;
    Create();
    EXPECT_GT(ListView_GetColumnWidth(Item(IDC_RESULTS), kColHostName), 0);
}

// While stopping, the bar shows how much of the time-out the outstanding probes have used.
TEST_F(MainDialog, TheStoppingBarFillsAsOutstandingProbesRunOut) {
    Create();
    TypeHost(L"192.0.2.1");
    ClickStart();
    ASSERT_TRUE(TickUntilRows(2));
    m_net.Hold();
    auto gone = [this] { return !m_dlg->GetData().IsPingWorkerRunning(); };
    ASSERT_TRUE(m_net.WaitUntilHeld(gone));
    ClickStart();
    ExpectStopping();
    int last = ProgressPos();
    EXPECT_GE(last, 0);
    int rises = 0;
    // Quarter-second steps of the clock: a 2 s time-out runs out within at most 8 of them.
    for (int step = 0; step < 40 && !gone(); ++step) {
        m_net.Step(250000);
        ASSERT_TRUE(m_net.WaitUntilHeld(gone));
        Tick();
        if (Control(IDC_START).text != kStoppingButtonText)
            break;
        int pos = ProgressPos();
        EXPECT_GE(pos, last);
        EXPECT_LE(pos, kRunProgressRange);
        rises += pos > last ? 1 : 0;
        last = pos;
    }
    EXPECT_GE(rises, 2);
    m_net.Release();
    ASSERT_TRUE(TickUntilStopped());
    ExpectStopped(true);
}

TEST_F(MainDialog, AProbePastItsTimeOutGivesAFullBarWithoutOverflow) {
    Create();
    TypeHost(L"192.0.2.1");
    ClickStart();
    ASSERT_TRUE(TickUntilRows(2));
    m_net.Hold();
    auto gone = [this] { return !m_dlg->GetData().IsPingWorkerRunning(); };
    ASSERT_TRUE(m_net.WaitUntilHeld(gone));
    ClickStart();
    // The clock jumps far past every time-out while the worker has not swept them yet.
    m_net.Advance(std::int64_t(1) << 50);
    Tick();
    EXPECT_EQ(CString(kStoppingButtonText), Control(IDC_START).text);
    EXPECT_GE(ProgressPos(), kRunProgressRange);
    m_net.Release();
    ASSERT_TRUE(TickUntilStopped());
}

TEST_F(MainDialog, TheWindowCannotBeDraggedSmallerThanItsTemplate) {
    Create();
    RECT initial;
    ::GetWindowRect(m_dlg->m_hWnd, &initial);
    RECT dragged = {initial.left, initial.top, initial.left + 50, initial.top + 40};
    ::SendMessageW(m_dlg->m_hWnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&dragged));
    EXPECT_EQ(initial.right - initial.left, dragged.right - dragged.left);
    EXPECT_EQ(initial.bottom - initial.top, dragged.bottom - dragged.top);
    EXPECT_EQ(initial.left, dragged.left);
    RECT larger = {initial.left, initial.top, initial.right + 100, initial.bottom + 80};
    RECT asked = larger;
    ::SendMessageW(m_dlg->m_hWnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&larger));
    EXPECT_TRUE(EqualRect(&asked, &larger));
}

TEST_F(MainDialog, ResizingKeepsTheControlsAnchored) {
    Create();
    RECT list0, start0, combo0, timeline0;
    ::GetWindowRect(Item(IDC_RESULTS), &list0);
    ::GetWindowRect(Item(IDC_START), &start0);
    ::GetWindowRect(Item(IDC_HOST_COMBO), &combo0);
    ::GetWindowRect(Item(IDC_TIMELINE), &timeline0);
    RECT rect;
    ::GetWindowRect(m_dlg->m_hWnd, &rect);
    ::SetWindowPos(m_dlg->m_hWnd, nullptr, 0, 0, rect.right - rect.left + 100,
                   rect.bottom - rect.top + 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages();
    RECT list1, start1, combo1, timeline1;
    ::GetWindowRect(Item(IDC_RESULTS), &list1);
    ::GetWindowRect(Item(IDC_START), &start1);
    ::GetWindowRect(Item(IDC_HOST_COMBO), &combo1);
    ::GetWindowRect(Item(IDC_TIMELINE), &timeline1);
    EXPECT_EQ(list0.right - list0.left + 100, list1.right - list1.left);
    EXPECT_EQ(list0.bottom - list0.top + 60, list1.bottom - list1.top);
    EXPECT_EQ(start0.left + 100, start1.left);
    EXPECT_EQ(start0.right - start0.left, start1.right - start1.left);
    EXPECT_EQ(combo0.right - combo0.left + 100, combo1.right - combo1.left);
    EXPECT_EQ(combo0.left, combo1.left);
    EXPECT_EQ(timeline0.left + 100, timeline1.left);
    EXPECT_EQ(timeline0.top, timeline1.top);
    EXPECT_EQ(timeline0.right - timeline0.left, timeline1.right - timeline1.left);
}

TEST_F(MainDialog, AltTOpensTheTimelineOfTheRunningTestAndItAddsUpToTheList) {
    m_net.route = {TestIp(203, 0, 113, 1)}; // one router, then the target
    Create();
    SControl button = Control(IDC_TIMELINE);
    EXPECT_EQ(CString(L"&Timeline"), button.text);
    EXPECT_TRUE(button.enabled && button.visible);
    RECT timeline, exportButton;
    ::GetWindowRect(Item(IDC_TIMELINE), &timeline);
    ::GetWindowRect(Item(IDC_EXPORT), &exportButton);
    EXPECT_LE(timeline.bottom, exportButton.top); // in the strip above Export, no overlap
    EXPECT_EQ(timeline.left, exportButton.left);
    EXPECT_EQ(timeline.right, exportButton.right);

    // The scripted clock moves in tenths of a second only, so the run stays short.
    m_net.Hold();
    TypeHost(L"192.0.2.1");
    ClickStart();
    auto gone = [this] { return !m_dlg->GetData().IsPingWorkerRunning(); };
    for (int step = 0; step < 200 && ListView_GetItemCount(Item(IDC_RESULTS)) < 3; ++step) {
        ASSERT_TRUE(m_net.WaitUntilHeld(gone));
        m_net.Step(100000);
        Tick();
    }
    ASSERT_GE(ListView_GetItemCount(Item(IDC_RESULTS)), 3);
    // Shown: the dialog manager clicks a mnemonic's button only in a visible window.
    ::ShowWindow(m_dlg->m_hWnd, SW_SHOWNOACTIVATE);
    MSG altT = {};
    altT.hwnd = m_dlg->m_hWnd;
    altT.message = WM_SYSCHAR;
    altT.wParam = L't';
    altT.lParam = 1 << 29; // Alt held
    EXPECT_TRUE(::IsDialogMessageW(m_dlg->m_hWnd, &altT));
    PumpMessages();
    HWND window = ::FindWindowW(nullptr, L"Hopwatch Timeline");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, m_dlg->GetTimelineWindow().m_hWnd);
    EXPECT_EQ(::GetParent(window), nullptr);

    ClickStart(); // Stop: the timeline takes the run's last outcomes
    m_net.Release();
    ASSERT_TRUE(TickUntilStopped());
    EXPECT_EQ(m_dlg->GetTimeline().GetRunInfo().dropped, 0u);
    m_dlg->GetTimelineWindow().Refresh(true);
    const int rows = ListView_GetItemCount(Item(IDC_RESULTS));
    EXPECT_EQ(m_dlg->GetTimelineWindow().GetScreen().Rows().GetSize(), rows);
    for (DWORD hop = 1; hop <= 2; ++hop) {
        wchar_t tx[32] = {}, rx[32] = {};
        ListView_GetItemText(Item(IDC_RESULTS), hop, kColSent, tx, 32);
        ListView_GetItemText(Item(IDC_RESULTS), hop, kColReceived, rx, 32);
        const STimelineBucket total = m_dlg->GetTimeline().GetLaneTotal({hop, 0});
        EXPECT_EQ(FormatUnsignedGrouped(total.sent), tx) << hop;
        EXPECT_EQ(FormatUnsignedGrouped(total.answered), rx) << hop;
    }
    Destroy();
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(MainDialog, PlacementIsSavedUnlessMinimizedAndMaximizedIsShowCommand3) {
    Create();
    ::ShowWindow(m_dlg->m_hWnd, SW_MAXIMIZE);
    PumpMessages();
    Destroy();
    SWindowPlacementText placement = {};
    ASSERT_TRUE(ParseWindowPlacement(g_strMainWndPos.c_str(), placement)) << g_strMainWndPos;
    EXPECT_EQ(3u, placement.showCmd);

    g_strMainWndPos = L"0,1,-1,-1,-1,-1,20,30,700,500";
    Create();
    ::ShowWindow(m_dlg->m_hWnd, SW_MINIMIZE);
    PumpMessages();
    ASSERT_TRUE(::IsIconic(m_dlg->m_hWnd));
    Destroy();
    EXPECT_EQ(CString(L"0,1,-1,-1,-1,-1,20,30,700,500"), g_strMainWndPos);
}

TEST_F(MainDialog, AStoredPlacementIsRestoredUnlessDamaged) {
    Create();
    RECT original;
    ::GetWindowRect(m_dlg->m_hWnd, &original);
    Destroy();

    g_strMainWndPos = L"0,1,-1,-1,-1,-1,20,30,700,500";
    Create();
    RECT restored;
    ::GetWindowRect(m_dlg->m_hWnd, &restored);
    EXPECT_EQ(680, restored.right - restored.left);
    EXPECT_EQ(470, restored.bottom - restored.top);
    Destroy();

    // Stored smaller than the template (as at a lower dots per inch): the template's size.
    g_strMainWndPos = L"0,1,-1,-1,-1,-1,20,30,120,80";
    Create();
    RECT smallest;
    ::GetWindowRect(m_dlg->m_hWnd, &smallest);
    EXPECT_EQ(original.right - original.left, smallest.right - smallest.left);
    EXPECT_EQ(original.bottom - original.top, smallest.bottom - smallest.top);
    Destroy();

    for (const wchar_t* damaged : {L"0,1,-1,-1,-1,-1,20,30,700", L"0,1,-1,-1,x,-1,20,30,700,500"}) {
        g_strMainWndPos = damaged;
        Create();
        RECT rect;
        ::GetWindowRect(m_dlg->m_hWnd, &rect);
        EXPECT_TRUE(EqualRect(&original, &rect)) << damaged;
        Destroy();
    }
}

} // namespace

namespace {

// The list view shares the row images with the dialog, which alone releases them.
TEST_F(MainDialog, TheRowImagesHaveOneOwner) {
    Create();
    HIMAGELIST images = ListView_GetImageList(Item(IDC_RESULTS), LVSIL_SMALL);
    ASSERT_EQ(8, ImageList_GetImageCount(images));
    ::DestroyWindow(m_dlg->m_hWnd);
    PumpMessages();
    EXPECT_EQ(8, ImageList_GetImageCount(images)) << "the list view left them to the dialog";
    m_dlg.reset();
    EXPECT_EQ(0, ImageList_GetImageCount(images)) << "the dialog released them";
}

// At 96 dpi the images are bitmap 130's own 16 x 16; at 150 % and 200 % scaled copies, with the
// graph's outcomes two pixels wide; the images they replace are released.
TEST_F(MainDialog, TheRowImagesAndTheGraphFollowTheDotsPerInch) {
    Create();
    HWND list = Item(IDC_RESULTS);
    auto size = [list] {
        int width = 0, height = 0;
        ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_SMALL), &width, &height);
        return std::make_pair(width, height);
    };
    EXPECT_EQ(std::make_pair(16, 16), size());
    EXPECT_EQ(1, m_dlg->GetGraphScale());
    for (int dpi : {144, 192, 96}) {
        SCOPED_TRACE(dpi);
        HIMAGELIST before = ListView_GetImageList(list, LVSIL_SMALL);
        RECT rect;
        ::GetWindowRect(m_dlg->m_hWnd, &rect);
        ::SendMessageW(m_dlg->m_hWnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&rect));
        int side = dpi * 16 / 96;
        EXPECT_EQ(std::make_pair(side, side), size());
        EXPECT_EQ(8, ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL)));
        EXPECT_EQ(dpi >= 144 ? 2 : 1, m_dlg->GetGraphScale());
        EXPECT_EQ(0, ImageList_GetImageCount(before));
    }
}

} // namespace
