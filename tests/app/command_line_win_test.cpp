// CHopwatchDlg::ProcessCommandLine in a real dialog over a scripted network: the automatic
// start, the host box and the help and error boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/CHopwatchDlg.h"
#include "resources/resource_ids.h"
#include "settings/command_line_rules.h"
#include "settings/settings_globals.h"
#include "support/CFakeHopwatchNetwork.h"
#include "ui/ui_message_box.h"

namespace {

struct SBox {
    CString text;
    CString caption;
    UINT type = 0;
};

// One dialog run on a command line; every box is recorded instead of shown.
class DialogCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        m_history.AddTail(g_HostHistory);
        g_HostHistory.RemoveAll();
        g_bSaveSettings = TRUE;
        SetUiMessageBoxHandler(
            [this](HWND, const CString& text, const CString& caption, UINT type) {
                m_boxes.push_back(SBox{text, caption, type});
                return IDOK;
            });
    }
    void TearDown() override {
        SetUiMessageBoxHandler(nullptr);
        if (m_dialog != nullptr) {
            m_dialog->GetData().Stop();
            ::DestroyWindow(m_dialog->GetSafeHwnd());
            delete m_dialog;
        }
        g_dwPingIntervalMS = m_interval;
        g_bReverseDNS = m_dns;
        g_bSaveSettings = TRUE;
        g_HostHistory.RemoveAll();
        g_HostHistory.AddTail(m_history);
    }
    // Creates the dialog with the command line and pumps until the posted message is handled.
    void Run(const CString& commandLine) {
        // Hosts resolve to 192.0.2.1 and the run goes on until it is stopped.
        m_network.target = 0x010200C0;
        m_network.local = 0x0A0200C0;
        m_dialog = new CHopwatchDlg(&m_network);
        m_dialog->SetCommandLineText(commandLine);
        ASSERT_TRUE(m_dialog->Create(nullptr));
        MSG msg;
        for (int i = 0; i < 2000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    CString HostText() {
        wchar_t buffer[256] = {};
        ::GetDlgItemTextW(m_dialog->GetSafeHwnd(), IDC_HOST_COMBO, buffer, 256);
        return buffer;
    }

    CFakeHopwatchNetwork m_network;
    CHopwatchDlg* m_dialog = nullptr;
    std::vector<SBox> m_boxes;
    CNTokenList m_history;
    DWORD m_interval = g_dwPingIntervalMS;
    int m_dns = g_bReverseDNS;
};

} // namespace

TEST_F(DialogCommandLine, AHostWithOptionsStartsAtOnceAndKeepsTheSettingsForThisRun) {
    Run(L"/int 500 /nodns 192.0.2.1");
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(g_dwPingIntervalMS, 500u);
    EXPECT_EQ(g_bReverseDNS, 0);
    EXPECT_FALSE(g_bSaveSettings);
    EXPECT_EQ(HostText(), L"192.0.2.1");
    EXPECT_EQ(g_HostHistory.Join(L","), L"192.0.2.1");
    EXPECT_TRUE(m_dialog->GetData().IsRunning());
}

TEST_F(DialogCommandLine, HelpWithAHostShowsTheHelpBoxAndStartsNothing) {
    Run(L"/save /? 198.51.100.7");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].caption, L"Command line help");
    EXPECT_EQ(m_boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(m_boxes[0].text.substr(0, 8), L"Usage:\r\n");
    EXPECT_NE(m_boxes[0].text.find(kCommandLineUsageText), CString::npos);
    EXPECT_TRUE(g_bSaveSettings);
    EXPECT_EQ(HostText(), L"198.51.100.7");
    EXPECT_FALSE(m_dialog->GetData().IsRunning());
}

TEST_F(DialogCommandLine, BadOptionsShowTheErrorBox) {
    Run(L"/ttl 257 /bogus 192.0.2.1");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].caption, L"Command line error(s)");
    EXPECT_EQ(m_boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(m_boxes[0].text.substr(0, 84), L"Error: invalid command line TTL value \"257\"\r\n"
                                             L"Error: unrecognized command line option");
    EXPECT_FALSE(m_dialog->GetData().IsRunning());
}

TEST_F(DialogCommandLine, OnlySeparatorsChangeNothing) {
    Run(L"  \"\"  ");
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(g_bSaveSettings);
    EXPECT_FALSE(m_dialog->GetData().IsRunning());
}
