// The options sheet with its real pages and controls: validation colours, refusals, Apply, the
// host list and the host history change that marks the settings for saving.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "resources/options_page_ids.h"
#include "settings/CHopwatchOptionsSheet_win.h"
#include "settings/settings_globals.h"
#include "support/CSettingsSnapshot.h"

namespace {

// Handles what is queued, a bounded number of messages.
void Pump() {
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// How the page asks a control to be drawn, read back through its control-colour answer.
struct SDrawn {
    COLORREF m_text;
    COLORREF m_brush; // colour of the solid brush returned (CLR_INVALID: none)
    int m_bkMode;
    BOOL IsMarked() const {
        return m_text == 0x99FFFF && m_brush == 0x003399 && m_bkMode == TRANSPARENT;
    }
};
SDrawn DrawnAs(HWND page, int id) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, 0x000000);
    ::SetBkMode(dc, OPAQUE);
    auto brush =
        reinterpret_cast<HBRUSH>(::SendMessageW(page, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                reinterpret_cast<LPARAM>(::GetDlgItem(page, id))));
    SDrawn drawn{::GetTextColor(dc), CLR_INVALID, ::GetBkMode(dc)};
    LOGBRUSH lb = {};
    if (brush != nullptr && ::GetObjectW(brush, sizeof(lb), &lb) == sizeof(lb))
        drawn.m_brush = lb.lbColor;
    ::DeleteDC(dc);
    return drawn;
}

void SetText(HWND page, int id, LPCWSTR text) {
    ::SetDlgItemTextW(page, id, text); // the edit tells its page with EN_CHANGE
    Pump();
}

// Clicks a list box item as the user does (toggles it in a multiple-selection list).
void ClickItem(HWND list, int index) {
    RECT r = {};
    ASSERT_NE(LB_ERR, ::SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)));
    LPARAM at = MAKELPARAM(r.left + 3, (r.top + r.bottom) / 2);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
    Pump();
}

std::vector<CString> ChildTexts(HWND page) {
    std::vector<CString> texts;
    ::EnumChildWindows(
        page,
        [](HWND child, LPARAM param) -> BOOL {
            wchar_t text[128] = {};
            ::GetWindowTextW(child, text, 128);
            reinterpret_cast<std::vector<CString>*>(param)->push_back(text);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

CString TextOf(HWND window) {
    CWnd wnd(window);
    return wnd.GetWindowText();
}

CString Text(const CNTokenList& list) {
    return list.Join(L"|");
}

// The settings globals as they were before each test, put back afterwards.
class OptionsSheet : public ::testing::Test {
protected:
    void SetUp() override {
        g_dwPingIntervalMS = 1000;
        g_dwPingTimeoutMS = 5000;
        g_bReverseDNS = 1;
        g_bExportIcons = 1;
        g_bExportTimeline = 1;
        g_dwMaxTTL = 32;
        g_HostHistory.RemoveAll();
        g_HostHistory.AddTail(L"a.example");
        g_HostHistory.AddTail(L"192.0.2.7");
        g_HostHistory.AddTail(L"b.example");
        g_bSaveSettings = FALSE;
    }
    void TearDown() override {
        m_options.reset();
        Pump();
    }

    // Opens the sheet modeless, on its first page.
    CPropertySheet& Open() {
        m_options = std::make_unique<CHopwatchOptionsSheet>(nullptr);
        CPropertySheet& sheet = m_options->GetSheet();
        EXPECT_TRUE(sheet.Create());
        Pump();
        return sheet;
    }
    HWND Page() { return m_options->GetSheet().GetActivePageWindow(); }

    CSettingsSnapshot m_saved;
    std::unique_ptr<CHopwatchOptionsSheet> m_options;
};

TEST_F(OptionsSheet, CaptionPagesAndControlsWithoutHelp) {
    CPropertySheet& sheet = Open();
    EXPECT_EQ(L"Hopwatch Options", sheet.GetWindowText());
    EXPECT_FALSE(sheet.GetExStyle() & WS_EX_CONTEXTHELP); // no "?" in the caption
    HWND help = sheet.GetDlgItem(IDHELP);
    EXPECT_TRUE(help == nullptr || !::IsWindowVisible(help));

    HWND tabs = reinterpret_cast<HWND>(sheet.SendMessage(PSM_GETTABCONTROL));
    ASSERT_EQ(3, TabCtrl_GetItemCount(tabs));
    const wchar_t* titles[] = {L"Pings", L"Hosts", L"Export"};
    for (int i = 0; i < 3; ++i) {
        wchar_t title[32] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        item.cchTextMax = 32;
        ::SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(titles[i], title);
    }

    HWND pings = Page();
    std::vector<CString> texts = ChildTexts(pings);
    for (const wchar_t* want :
         {L"Ping &Interval [ms]", L"DNS", L"&Enable", L"Ma&ximum TTL", L"Ping &Timeout [ms]"})
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), CString(want))) << want;
    for (int id : {IDC_PING_INTERVAL, IDC_MAX_TTL, IDC_PING_TIMEOUT}) {
        LONG style = ::GetWindowLongW(::GetDlgItem(pings, id), GWL_STYLE);
        EXPECT_EQ(ES_NUMBER | ES_RIGHT | ES_AUTOHSCROLL,
                  style & (ES_NUMBER | ES_RIGHT | ES_AUTOHSCROLL));
    }
    EXPECT_EQ(L"1000", TextOf(::GetDlgItem(pings, IDC_PING_INTERVAL)));
    EXPECT_EQ(L"32", TextOf(::GetDlgItem(pings, IDC_MAX_TTL)));
    EXPECT_EQ(L"5000", TextOf(::GetDlgItem(pings, IDC_PING_TIMEOUT)));
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(pings, IDC_REVERSE_DNS));
    EXPECT_FALSE(::IsWindowEnabled(sheet.GetApplyButton()));

    ASSERT_TRUE(sheet.SetActivePage(1));
    HWND hosts = Page();
    HWND list = ::GetDlgItem(hosts, IDC_HOST_LIST);
    LONG style = ::GetWindowLongW(list, GWL_STYLE);
    EXPECT_TRUE(style & LBS_MULTIPLESEL);
    EXPECT_TRUE(style & LBS_NOTIFY);
    EXPECT_FALSE(style & LBS_SORT);
    HWND remove = ::GetDlgItem(hosts, IDC_REMOVE_HOSTS);
    EXPECT_EQ(L"&Remove selected", TextOf(remove));
    EXPECT_FALSE(::IsWindowEnabled(remove));

    ASSERT_TRUE(sheet.SetActivePage(2));
    EXPECT_EQ(L"Export Icons to HTML", TextOf(::GetDlgItem(Page(), IDC_EXPORT_ICONS)));
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(Page(), IDC_EXPORT_ICONS));
    EXPECT_EQ(L"Include the timeline", TextOf(::GetDlgItem(Page(), IDC_EXPORT_TIMELINE)));
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(Page(), IDC_EXPORT_TIMELINE));
}

TEST_F(OptionsSheet, IntervalZeroIsMarkedAndHoldsThePageAndOk) {
    CPropertySheet& sheet = Open();
    HWND pings = Page();
    EXPECT_FALSE(DrawnAs(pings, IDC_PING_INTERVAL).IsMarked());

    SetText(pings, IDC_PING_INTERVAL, L"0");
    EXPECT_TRUE(DrawnAs(pings, IDC_PING_INTERVAL).IsMarked());
    EXPECT_FALSE(DrawnAs(pings, IDC_PING_TIMEOUT).IsMarked()); // only the bad field
    EXPECT_FALSE(sheet.SetActivePage(1));
    EXPECT_EQ(pings, Page());
    sheet.PressButton(PSBTN_OK);
    Pump();
    EXPECT_FALSE(sheet.IsClosed());
    EXPECT_EQ(1000u, g_dwPingIntervalMS);

    SetText(pings, IDC_PING_INTERVAL, L"10");
    SDrawn drawn = DrawnAs(pings, IDC_PING_INTERVAL);
    EXPECT_FALSE(drawn.IsMarked());
    EXPECT_NE(0x99FFFFu, drawn.m_text);
    EXPECT_TRUE(::IsWindowEnabled(sheet.GetApplyButton()));
    EXPECT_EQ(1000u, g_dwPingIntervalMS); // not before Apply
    sheet.PressButton(PSBTN_APPLYNOW);
    Pump();
    EXPECT_EQ(10u, g_dwPingIntervalMS);
    EXPECT_FALSE(sheet.IsClosed());
    EXPECT_TRUE(sheet.SetActivePage(1));
}

TEST_F(OptionsSheet, MaxTtlTakes256AndRefuses257AndZero) {
    CPropertySheet& sheet = Open();
    HWND pings = Page();
    SetText(pings, IDC_MAX_TTL, L"257");
    EXPECT_TRUE(DrawnAs(pings, IDC_MAX_TTL).IsMarked());
    SetText(pings, IDC_MAX_TTL, L"0");
    EXPECT_TRUE(DrawnAs(pings, IDC_MAX_TTL).IsMarked());
    sheet.PressButton(PSBTN_OK);
    Pump();
    EXPECT_FALSE(sheet.IsClosed());
    SetText(pings, IDC_MAX_TTL, L"256");
    EXPECT_FALSE(DrawnAs(pings, IDC_MAX_TTL).IsMarked());
    SetText(pings, IDC_PING_TIMEOUT, L""); // an empty field counts as invalid too
    EXPECT_TRUE(DrawnAs(pings, IDC_PING_TIMEOUT).IsMarked());
    SetText(pings, IDC_PING_TIMEOUT, L"250");
    ::SendMessageW(::GetDlgItem(pings, IDC_REVERSE_DNS), BM_CLICK, 0, 0);
    Pump();
    sheet.PressButton(PSBTN_OK);
    Pump();
    EXPECT_TRUE(sheet.IsClosed());
    EXPECT_EQ(256u, g_dwMaxTTL);
    EXPECT_EQ(250u, g_dwPingTimeoutMS);
    EXPECT_EQ(0, g_bReverseDNS);
}

TEST_F(OptionsSheet, StoredMaxTtlOfZeroIsMarkedWhenThePageOpens) {
    g_dwMaxTTL = 0;
    CPropertySheet& sheet = Open();
    HWND pings = Page();
    EXPECT_EQ(L"0", TextOf(::GetDlgItem(pings, IDC_MAX_TTL)));
    EXPECT_TRUE(DrawnAs(pings, IDC_MAX_TTL).IsMarked());
    EXPECT_FALSE(DrawnAs(pings, IDC_PING_INTERVAL).IsMarked());
    EXPECT_FALSE(sheet.SetActivePage(2));
}

TEST_F(OptionsSheet, ExportFlagReachesTheSettingOnlyOnApplyOrOk) {
    CPropertySheet& sheet = Open();
    ASSERT_TRUE(sheet.SetActivePage(2));
    HWND check = ::GetDlgItem(Page(), IDC_EXPORT_ICONS);
    ::SendMessageW(check, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, g_bExportIcons);
    EXPECT_TRUE(::IsWindowEnabled(sheet.GetApplyButton()));
    sheet.PressButton(PSBTN_APPLYNOW);
    Pump();
    EXPECT_EQ(0, g_bExportIcons);
    ::SendMessageW(check, BM_CLICK, 0, 0);
    Pump();
    sheet.PressButton(PSBTN_CANCEL);
    Pump();
    EXPECT_TRUE(sheet.IsClosed());
    EXPECT_EQ(0, g_bExportIcons); // Cancel keeps what Apply took, and takes nothing new

    CPropertySheet& again = Open();
    ASSERT_TRUE(again.SetActivePage(2));
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(Page(), IDC_EXPORT_ICONS));
    ::SendMessageW(::GetDlgItem(Page(), IDC_EXPORT_ICONS), BM_CLICK, 0, 0);
    Pump();
    again.PressButton(PSBTN_OK);
    Pump();
    EXPECT_EQ(1, g_bExportIcons);
}

TEST_F(OptionsSheet, TimelineFlagReachesTheSettingOnApplyAndShowsWhenTheSheetOpensAgain) {
    CPropertySheet& sheet = Open();
    ASSERT_TRUE(sheet.SetActivePage(2));
    ::SendMessageW(::GetDlgItem(Page(), IDC_EXPORT_TIMELINE), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(1, g_bExportTimeline);
    sheet.PressButton(PSBTN_OK);
    Pump();
    EXPECT_EQ(0, g_bExportTimeline);
    EXPECT_EQ(1, g_bExportIcons);
    CPropertySheet& again = Open();
    ASSERT_TRUE(again.SetActivePage(2));
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(Page(), IDC_EXPORT_TIMELINE));
}

TEST_F(OptionsSheet, RemovingSelectedHostsChangesOnlyTheCopyUntilApply) {
    CPropertySheet& sheet = Open();
    ASSERT_TRUE(sheet.SetActivePage(1));
    HWND hosts = Page();
    HWND list = ::GetDlgItem(hosts, IDC_HOST_LIST);
    HWND remove = ::GetDlgItem(hosts, IDC_REMOVE_HOSTS);
    ASSERT_EQ(3, ::SendMessageW(list, LB_GETCOUNT, 0, 0));

    ClickItem(list, 0);
    EXPECT_TRUE(::IsWindowEnabled(remove));
    ClickItem(list, 0); // a second click takes the selection back
    EXPECT_FALSE(::IsWindowEnabled(remove));
    ClickItem(list, 0);
    ClickItem(list, 2);
    ::SendMessageW(remove, BM_CLICK, 0, 0);
    Pump();
    ASSERT_EQ(1, ::SendMessageW(list, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"192.0.2.7", Text(m_options->GetHostsPage().GetHosts()));
    EXPECT_FALSE(::IsWindowEnabled(remove));
    EXPECT_FALSE(::IsWindowEnabled(sheet.GetApplyButton())); // removing marks nothing
    EXPECT_EQ(L"a.example|192.0.2.7|b.example", Text(g_HostHistory));

    sheet.PressButton(PSBTN_APPLYNOW); // Apply goes to every page that was shown
    Pump();
    EXPECT_EQ(L"192.0.2.7", Text(g_HostHistory));
}

// Runs the modal sheet, driving it from a timer inside its own message loop: `script` gets the
// sheet once it is up and must close it. A watchdog cancels a sheet the script left open.
class OptionsSheetModal : public OptionsSheet {
protected:
    BOOL RunScripted(std::function<void(CHopwatchOptionsSheet&)> script) {
        CHopwatchOptionsSheet options(nullptr);
        ms_options = &options;
        ms_script = std::move(script);
        ms_watchdogFired = false;
        UINT_PTR step = ::SetTimer(nullptr, 0, 10, &OptionsSheetModal::OnStep);
        UINT_PTR watchdog = ::SetTimer(nullptr, 0, 5000, &OptionsSheetModal::OnWatchdog);
        ms_stepTimer = step;
        ms_watchdogTimer = watchdog;
        BOOL changed = options.Run();
        ::KillTimer(nullptr, step);
        ::KillTimer(nullptr, watchdog);
        ms_options = nullptr;
        EXPECT_FALSE(ms_watchdogFired) << "the sheet was left open";
        return changed;
    }

private:
    static void CALLBACK OnStep(HWND, UINT, UINT_PTR, DWORD) {
        ::KillTimer(nullptr, ms_stepTimer);
        if (ms_options != nullptr && ms_options->GetSheet().GetSafeHwnd() != nullptr && ms_script) {
            auto script = std::move(ms_script);
            ms_script = nullptr;
            script(*ms_options);
        }
    }
    static void CALLBACK OnWatchdog(HWND, UINT, UINT_PTR, DWORD) {
        ::KillTimer(nullptr, ms_watchdogTimer);
        ms_watchdogFired = true;
        if (ms_options != nullptr)
            ms_options->GetSheet().PressButton(PSBTN_CANCEL);
    }

    static inline CHopwatchOptionsSheet* ms_options = nullptr;
    static inline std::function<void(CHopwatchOptionsSheet&)> ms_script;
    static inline UINT_PTR ms_stepTimer = 0;
    static inline UINT_PTR ms_watchdogTimer = 0;
    static inline bool ms_watchdogFired = false;
};

void RemoveAllHosts(CPropertySheet& sheet) {
    ASSERT_TRUE(sheet.SetActivePage(1));
    HWND hosts = sheet.GetActivePageWindow();
    HWND list = ::GetDlgItem(hosts, IDC_HOST_LIST);
    int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        ClickItem(list, i);
    ::SendMessageW(::GetDlgItem(hosts, IDC_REMOVE_HOSTS), BM_CLICK, 0, 0);
}

TEST_F(OptionsSheetModal, RemovingAllHostsAndOkEmptiesTheHistoryAndMarksItForSaving) {
    BOOL changed = RunScripted([](CHopwatchOptionsSheet& options) {
        RemoveAllHosts(options.GetSheet());
        options.GetSheet().PressButton(PSBTN_OK);
    });
    EXPECT_TRUE(changed);
    EXPECT_EQ(0, g_HostHistory.GetCount());
    EXPECT_TRUE(g_bSaveSettings);
}

TEST_F(OptionsSheetModal, CancelWithoutChangesLeavesTheSaveFlag) {
    BOOL changed = RunScripted(
        [](CHopwatchOptionsSheet& options) { options.GetSheet().PressButton(PSBTN_CANCEL); });
    EXPECT_FALSE(changed);
    EXPECT_FALSE(g_bSaveSettings);

    g_bSaveSettings = TRUE;
    changed = RunScripted(
        [](CHopwatchOptionsSheet& options) { options.GetSheet().PressButton(PSBTN_OK); });
    EXPECT_FALSE(changed);
    EXPECT_TRUE(g_bSaveSettings);
}

TEST_F(OptionsSheetModal, RemovingHostsThenCancelKeepsTheHistory) {
    BOOL changed = RunScripted([](CHopwatchOptionsSheet& options) {
        RemoveAllHosts(options.GetSheet());
        options.GetSheet().PressButton(PSBTN_CANCEL);
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(L"a.example|192.0.2.7|b.example", Text(g_HostHistory));
    EXPECT_FALSE(g_bSaveSettings);
}

TEST_F(OptionsSheetModal, ApplyThenCancelStillCountsAsAChange) {
    BOOL changed = RunScripted([](CHopwatchOptionsSheet& options) {
        RemoveAllHosts(options.GetSheet());
        options.GetSheet().PressButton(PSBTN_APPLYNOW);
        options.GetSheet().PressButton(PSBTN_CANCEL);
    });
    EXPECT_TRUE(changed);
    EXPECT_EQ(0, g_HostHistory.GetCount());
    EXPECT_TRUE(g_bSaveSettings);
}

} // namespace
