// The desktop program's command line: tokens, options and values, hosts, and the help and error
// box.
#include <gtest/gtest.h>

#include "settings/CHopwatchCommandLine.h"
#include "settings/command_line_rules.h"
#include "settings/settings_globals.h"
#include "support/CSettingsSnapshot.h"

namespace {

// Runs one command line against the settings globals, which are put back afterwards.
class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        g_HostHistory.RemoveAll();
        g_bSaveSettings = TRUE;
    }
    // TakeCommandLine and, when it found tokens, Process.
    BOOL Run(LPCWSTR text) {
        m_hostGiven = FALSE;
        if (!m_line.TakeCommandLine(text))
            return FALSE;
        m_hostGiven = m_line.Process();
        return TRUE;
    }

    CSettingsSnapshot m_saved;
    CHopwatchCommandLine m_line;
    BOOL m_hostGiven = FALSE;
};

const wchar_t kUsage[] = L"Usage:\r\n"
                         L"hopwatch.exe <options> <host_or_IP> [</save>] [</nostart>]\r\n"
                         L"\r\n"
                         L"Options:\r\n"
                         L"/help .................... invokes this dialog\r\n"
                         L"/int <interval> .......... ping salvo interval [ms]\r\n"
                         L"/to <interval> ........... individual ping timeout [ms]\r\n"
                         L"/ttl <hops> .............. maximum number of hops\r\n"
                         L"/dns ..................... enables reverse host name lookup\r\n"
                         L"/nodns ................... disbles reverse host name lookup\r\n"
                         L"/save .................... stores these new options in registry\r\n"
                         L"/nostart ................. does not auto-start pingin the host\r\n";

} // namespace

TEST_F(CommandLine, OptionsSetTheSettingsForTheRunAndAHostStartsIt) {
    ASSERT_TRUE(Run(L"/int 500 /to 0x100 /ttl 256 /nodns 192.0.2.1"));
    EXPECT_FALSE(g_bSaveSettings); // arguments are for this run only
    EXPECT_EQ(g_dwPingIntervalMS, 500u);
    EXPECT_EQ(g_dwPingTimeoutMS, 256u);
    EXPECT_EQ(g_dwMaxTTL, 256u); // 256, not 255, is the highest
    EXPECT_EQ(g_bReverseDNS, 0);
    EXPECT_TRUE(m_hostGiven);
    EXPECT_EQ(g_HostHistory.Join(L","), L"192.0.2.1");
    EXPECT_TRUE(m_line.ShouldStart());
    EXPECT_FALSE(m_line.ShouldShowBox());
    EXPECT_EQ(m_line.GetParserState(), 0u);
}

TEST_F(CommandLine, SaveAndNoStartAndTheirOrder) {
    ASSERT_TRUE(Run(L"/dns /save /nostart host.example"));
    EXPECT_TRUE(g_bSaveSettings);
    EXPECT_EQ(g_bReverseDNS, 1);
    EXPECT_TRUE(m_line.ShouldStart()); // /nostart before the host has no effect
    CHopwatchCommandLine after;
    ASSERT_TRUE(after.TakeCommandLine(L"host.example /nostart"));
    EXPECT_FALSE(g_bSaveSettings);
    after.Process();
    EXPECT_FALSE(after.ShouldStart());
    EXPECT_FALSE(after.ShouldShowBox());
    // Options without a host: nothing to start, nothing to show.
    CHopwatchCommandLine optionsOnly;
    ASSERT_TRUE(optionsOnly.TakeCommandLine(L"/int 300"));
    EXPECT_FALSE(optionsOnly.Process());
    EXPECT_FALSE(optionsOnly.ShouldStart());
    EXPECT_FALSE(optionsOnly.ShouldShowBox());
}

TEST_F(CommandLine, EveryHostMovesToTheHeadOfTheHistoryAndTheLastOneStarts) {
    g_HostHistory.AddTail(L"old.example");
    g_HostHistory.AddTail(L"Second.Example");
    g_HostHistory.AddTail(L"third.example");
    ASSERT_TRUE(Run(L"second.example \"  my host  \" third.example"));
    // Equal without regard to case replaces the old entry; a quoted host is one token, trimmed.
    EXPECT_EQ(g_HostHistory.Join(L","), L"third.example,my host,second.example,old.example");
    EXPECT_TRUE(m_line.ShouldStart());
}

TEST_F(CommandLine, BadValuesAndOptionsEachAddOneErrorAndStopTheStart) {
    const DWORD ttl = g_dwMaxTTL, timeout = g_dwPingTimeoutMS;
    const int dns = g_bReverseDNS;
    ASSERT_TRUE(Run(L"/ttl 0 /ttl 257 /int /dns /to -5 /HELP /x 192.0.2.9 /int 250"));
    EXPECT_EQ(m_line.GetErrors().Join(L"|"),
              L"Error: invalid command line TTL value \"0\"|"
              L"Error: invalid command line TTL value \"257\"|"
              L"Error: invalid command line ping interval (/int) value \"/dns\"|"
              L"Error: invalid command line ping timeout (/to) value \"-5\"|"
              L"Error: unrecognized command line option \"/HELP\"|"
              L"Error: unrecognized command line option \"/x\"");
    EXPECT_EQ(g_dwMaxTTL, ttl);
    EXPECT_EQ(g_dwPingTimeoutMS, timeout);
    EXPECT_EQ(g_bReverseDNS, dns);       // "/dns" was taken as the value of /int
    EXPECT_EQ(g_dwPingIntervalMS, 250u); // values accepted around the bad ones stay
    EXPECT_EQ(g_HostHistory.Join(L","), L"192.0.2.9");
    EXPECT_FALSE(m_line.ShouldStart());
    ASSERT_TRUE(m_line.ShouldShowBox());
    EXPECT_EQ(m_line.BoxCaption(), L"Command line error(s)");
}

TEST_F(CommandLine, MethodChoosesHowProbesGoOutAndRefusesOtherNames) {
    ASSERT_TRUE(Run(L"/method System 192.0.2.1"));
    EXPECT_EQ(g_dwProbeMethod, kProbeSettingSystem);
    EXPECT_TRUE(m_line.ShouldStart());
    CHopwatchCommandLine other;
    ASSERT_TRUE(other.TakeCommandLine(L"/method raw /method datagram /method"));
    other.Process();
    EXPECT_EQ(g_dwProbeMethod, kProbeSettingRaw);
    EXPECT_EQ(other.GetErrors().Join(L"|"),
              L"Error: invalid command line probe method (/method) value \"datagram\"|"
              L"Error: unfinished command line option");
    EXPECT_EQ(other.GetParserState(), CHopwatchCommandLine::kStateMethodValue);
    DWORD value = 9;
    EXPECT_TRUE(ParseCommandLineOptionValue(kCmdOptionMethod, L" auto ", &value));
    EXPECT_EQ(value, kProbeSettingAuto);
}

TEST_F(CommandLine, AValueOptionAtTheEndIsUnfinished) {
    ASSERT_TRUE(Run(L"192.0.2.1 /int"));
    EXPECT_EQ(m_line.GetErrors().Join(L"|"), L"Error: unfinished command line option");
    EXPECT_EQ(m_line.GetParserState(), CHopwatchCommandLine::kStateIntervalValue);
    EXPECT_FALSE(m_line.ShouldStart());
    EXPECT_EQ(m_line.BoxText(L"hopwatch.exe"),
              CString(L"Error: unfinished command line option\r\n") + kUsage);
}

TEST_F(CommandLine, HelpWithAHostShowsTheHelpAndKeepsTheHost) {
    for (LPCWSTR help : {L"/help", L"/h", L"/?"}) {
        CHopwatchCommandLine line;
        ASSERT_TRUE(line.TakeCommandLine((CString(help) + L" 198.51.100.4").c_str()));
        EXPECT_TRUE(line.Process());
        EXPECT_TRUE(line.IsHelpRequested());
        EXPECT_FALSE(line.ShouldStart());
        EXPECT_TRUE(line.ShouldShowBox());
        EXPECT_EQ(line.BoxCaption(), L"Command line help");
        EXPECT_EQ(line.BoxText(L"hopwatch.exe"), kUsage);
    }
    EXPECT_EQ(g_HostHistory.Join(L","), L"198.51.100.4");
}

TEST_F(CommandLine, OnlySeparatorsOrEmptyQuotesGiveNoTokens) {
    for (LPCWSTR text : {L"", L"   \t\r\n", L"\"\"", L"\"\" \"\"  \"\"", L"\b\v\f"}) {
        CHopwatchCommandLine line;
        EXPECT_FALSE(line.TakeCommandLine(text)) << text;
        EXPECT_TRUE(g_bSaveSettings) << text;
    }
    EXPECT_FALSE(m_line.TakeCommandLine(nullptr));
    // A quoted blank is a token, which trims to nothing and is then ignored.
    ASSERT_TRUE(Run(L"\" \""));
    EXPECT_FALSE(g_bSaveSettings);
    EXPECT_FALSE(m_hostGiven);
    EXPECT_FALSE(m_line.ShouldStart());
    EXPECT_FALSE(m_line.ShouldShowBox());
}

TEST(CommandLineRules, ValueRulesAndUsageFileName) {
    DWORD value = 77;
    EXPECT_TRUE(ParseCommandLineOptionValue(kCmdOptionTtl, L" 1 ", &value));
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(ParseCommandLineOptionValue(kCmdOptionTtl, L"", &value));
    EXPECT_FALSE(ParseCommandLineOptionValue(kCmdOptionInterval, L"0", &value));
    EXPECT_FALSE(ParseCommandLineOptionValue(kCmdOptionTimeout, L"4294967296", &value));
    EXPECT_TRUE(ParseCommandLineOptionValue(kCmdOptionTimeout, L"4294967295", &value));
    EXPECT_FALSE(ParseCommandLineOptionValue(kCmdOptionDns, L"1", &value));
    EXPECT_EQ(LookupCommandLineOption(L"host"), kCmdOptionNone);
    EXPECT_EQ(LookupCommandLineOption(L"/"), kCmdOptionUnknown);
    EXPECT_EQ(LookupCommandLineOption(L"/nostart"), kCmdOptionNoStart);
    EXPECT_EQ(LookupCommandLineOption(L"/Save"), kCmdOptionUnknown);
#ifdef _WIN32
    EXPECT_EQ(CHopwatchCommandLine::UsageFileName(L"C:\\Program Files\\Hopwatch\\hopwatch.exe"),
              L"hopwatch.exe");
#else
    EXPECT_EQ(CHopwatchCommandLine::UsageFileName(L"/opt/hopwatch/bin/../hopwatch"), L"hopwatch");
#endif
    EXPECT_EQ(CHopwatchCommandLine::UsageFileName(L""), L"");
}
