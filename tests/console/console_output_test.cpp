// hopwatch-console: option parsing and the CSV form of a run.
#include <gtest/gtest.h>

#include <mutex>

#include "console/CConsoleRowSnapshot.h"
#include "console/console_options.h"
#include "settings/settings_globals.h"
#include "console/csv_output.h"
#include "console/start_remedy.h"
#include "console/json_output.h"
#include "foundation/utf.h"
#include "results/CHopwatchDataRowSource.h"
#include "support/SScriptedRun.h"

namespace {

struct SParsed {
    BOOL ok;
    SConsoleOptions options;
    NArray<CString> errors;
};

SParsed Parse(std::initializer_list<const wchar_t*> args) {
    NArray<CString> argv;
    argv.SetSize(static_cast<int>(args.size()));
    int i = 0;
    for (const wchar_t* a : args)
        argv[i++] = a;
    SParsed parsed;
    parsed.ok = ParseConsoleOptions(argv.GetSize(), argv.GetData(), parsed.options, parsed.errors);
    return parsed;
}

} // namespace

TEST(ConsoleOptions, AcceptsTheProgramsOptionsAndRunControls) {
    SParsed p = Parse({L"/int", L"0x64", L"/to", L" 500 ", L"/ttl", L"256", L"/nodns", L"/time",
                       L"2.5", L"/csv", L"/history", L"8", L"  host.example  "});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.intervalMs, 100u);
    EXPECT_EQ(p.options.timeoutMs, 500u);
    EXPECT_EQ(p.options.maxTtl, 256u);
    EXPECT_EQ(p.options.reverseDns, 0);
    EXPECT_DOUBLE_EQ(p.options.runSeconds, 2.5);
    EXPECT_TRUE(p.options.csv);
    EXPECT_EQ(p.options.historyValues, 8);
    EXPECT_EQ(p.options.host, L"host.example");
    EXPECT_EQ(Parse({L"/method", L"system", L"h"}).options.probeMethod,
              static_cast<int>(kProbeSettingSystem));
    EXPECT_FALSE(Parse({L"/method", L"icmp", L"h"}).ok);
    EXPECT_EQ(Parse({L"--method=raw", L"h"}).options.probeMethod,
              static_cast<int>(kProbeSettingRaw));
    // Unset options keep the stored settings.
    SParsed plain = Parse({L"192.0.2.1"});
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.options.intervalMs, 0u);
    EXPECT_EQ(plain.options.reverseDns, -1);
    EXPECT_EQ(plain.options.probeMethod, -1);
    EXPECT_LT(plain.options.runSeconds, 0.0);
}

TEST(ConsoleOptions, RefusesBadValuesUnknownOptionsAndAMissingHost) {
    EXPECT_FALSE(Parse({L"/ttl", L"0", L"h"}).ok);
    EXPECT_FALSE(Parse({L"/ttl", L"257", L"h"}).ok);
    EXPECT_FALSE(Parse({L"/int", L"0", L"h"}).ok);
    EXPECT_FALSE(Parse({L"/to", L"-1", L"h"}).ok);
    EXPECT_FALSE(Parse({L"/time", L"0", L"h"}).ok);
    EXPECT_FALSE(Parse({L"/time", L"1e3", L"h"}).ok);
    EXPECT_FALSE(Parse({L"/history", L"4097", L"h"}).ok);
    EXPECT_FALSE(Parse({L"/HELP", L"h"}).ok); // options are case-sensitive
    // A value is taken whatever it looks like: "/dns" is a bad interval and does not switch on.
    SParsed p = Parse({L"/int", L"/dns", L"h"});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.options.reverseDns, -1);
    ASSERT_EQ(p.errors.GetSize(), 1);
    EXPECT_NE(p.errors[0].find(L"/int"), CString::npos);
    EXPECT_NE(p.errors[0].find(L"/dns"), CString::npos);
    SParsed unfinished = Parse({L"h", L"/to"});
    EXPECT_FALSE(unfinished.ok);
    EXPECT_NE(unfinished.errors[0].find(L"needs a value"), CString::npos);
    EXPECT_FALSE(Parse({L"/csv"}).ok);
    EXPECT_FALSE(Parse({L"  ", L"/csv"}).ok);
    // Every problem is reported, not only the first.
    EXPECT_EQ(Parse({L"/x", L"/ttl", L"999", L"h"}).errors.GetSize(), 2);
    // Help needs no host.
    SParsed help = Parse({L"/?"});
    EXPECT_TRUE(help.ok);
    EXPECT_TRUE(help.options.help);
}

TEST(ConsoleOptions, LinuxFormsMixWithSlashFormsAndCombineLikeGetopt) {
    SParsed p = Parse({L"-nc", L"5", L"-i100", L"--timeout=500", L"--max-ttl", L"40", L"-j",
                       L"/history", L"3", L"--time", L"2.5", L"--", L"host.example"});
    ASSERT_TRUE(p.ok) << (p.errors.GetSize() ? std::string(p.errors[0].begin(), p.errors[0].end())
                                             : std::string());
    EXPECT_EQ(p.options.reverseDns, 0);
    EXPECT_EQ(p.options.count, 5u);
    EXPECT_EQ(p.options.intervalMs, 100u);
    EXPECT_EQ(p.options.timeoutMs, 500u);
    EXPECT_EQ(p.options.maxTtl, 40u);
    EXPECT_TRUE(p.options.json);
    EXPECT_EQ(p.options.historyValues, 3);
    EXPECT_DOUBLE_EQ(p.options.runSeconds, 2.5);
    EXPECT_EQ(p.options.host, L"host.example");
    SParsed more = Parse({L"/count", L"7", L"-c3", L"--csv", L"--no-color", L"--html", L"r.html",
                          L"--version", L"-h", L"h"});
    ASSERT_TRUE(more.ok);
    EXPECT_EQ(more.options.count, 3u); // the last one given wins
    EXPECT_TRUE(more.options.csv);
    EXPECT_EQ(more.options.color, 0);
    EXPECT_EQ(more.options.htmlPath, L"r.html");
    EXPECT_TRUE(more.options.version);
    EXPECT_TRUE(more.options.help);
    EXPECT_TRUE(Parse({L"--version"}).ok); // needs no host
}

TEST(ConsoleOptions, RefusesWhatGetoptToolsRefuse) {
    const std::initializer_list<const wchar_t*> bad[] = {{L"-x", L"h"},
                                                         {L"--bogus", L"h"},
                                                         {L"--json=1", L"h"},
                                                         {L"-c", L"0", L"h"},
                                                         {L"-c", L"86401", L"h"},
                                                         {L"-nc"},
                                                         {L"--count"},
                                                         {L"-", L"h"},
                                                         {L"--csv", L"-j", L"h"},
                                                         {L"-i", L"0", L"h"},
                                                         {L"-t", L"-1", L"h"}};
    for (const auto& args : bad)
        EXPECT_FALSE(Parse(args).ok) << std::wstring(*args.begin()).size();
    SParsed p = Parse({L"-nxc", L"5", L"h"});
    ASSERT_EQ(p.errors.GetSize(), 1);
    EXPECT_NE(p.errors[0].find(L"\"-x\""), CString::npos);
    EXPECT_EQ(p.options.count, 5u); // the rest of the cluster is still read
    SParsed value = Parse({L"--interval", L"0", L"h"});
    ASSERT_EQ(value.errors.GetSize(), 1);
    EXPECT_EQ(value.errors[0], L"Error: invalid value \"0\" for option --interval");
}

TEST(ConsoleOptions, HelpFitsEightyColumnsAndNamesEveryForm) {
    const CString help = ConsoleUsageText();
    ASSERT_FALSE(help.empty());
    EXPECT_EQ(help.back(), L'\n');
    size_t begin = 0;
    for (size_t end = help.find(L'\n'); end != CString::npos; end = help.find(L'\n', begin)) {
        EXPECT_LE(end - begin, 80u) << std::string(help.begin() + begin, help.begin() + end);
        begin = end + 1;
    }
    for (const wchar_t* form :
         {L"-c, --count <n>", L"/count <n>", L"-j, --json", L"/json", L"-n, --no-dns", L"/nodns",
          L"-w, --timeout <ms>", L"/to <ms>", L"--version", L"/help, /h, /?", L"Exit status: 0"})
        EXPECT_NE(help.find(form), CString::npos) << std::wstring(form).size();
}

TEST(ConsoleOptions, RecordingOptionsAndAReplayWithoutHost) {
    SParsed record = Parse({L"/record", L"run 1.hwrec", L"h"});
    ASSERT_TRUE(record.ok);
    EXPECT_EQ(record.options.recordPath, L"run 1.hwrec");
    EXPECT_FALSE(record.options.noRecord);
    EXPECT_TRUE(Parse({L"--no-record", L"h"}).options.noRecord);
    EXPECT_EQ(Parse({L"--record=r.hwrec", L"h"}).options.recordPath, L"r.hwrec");
    SParsed replay = Parse({L"/replay", L"r.hwrec", L"--json", L"/history", L"4"});
    ASSERT_TRUE(replay.ok);
    EXPECT_EQ(replay.options.replayPath, L"r.hwrec");
    EXPECT_TRUE(replay.options.json);
    EXPECT_FALSE(Parse({L"--replay", L"r.hwrec", L"h"}).ok); // a replay runs no test
    EXPECT_FALSE(Parse({L"h", L"/record"}).ok);
}

TEST(ConsoleCsv, QuotesOnlyWhatRfc4180Needs) {
    EXPECT_EQ(CsvField(L"  --- looking up ---"), L"  --- looking up ---");
    EXPECT_EQ(CsvField(L"a,b"), L"\"a,b\"");
    EXPECT_EQ(CsvField(L"say \"hi\""), L"\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField(L"two\r\nlines"), L"\"two\r\nlines\"");
    EXPECT_EQ(CsvField(L""), L"");
}

class ConsoleCsvRun : public ::testing::Test, protected SScriptedRun {
protected:
    ConsoleCsvRun() { EXPECT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 5000, 32, 0)); }
    void Answer(DWORD hop, DWORD responder, int us, BYTE type = 11, BYTE code = 0) {
        const DWORD slot = data.ProbeHop(hop);
        net.Advance(us);
        data.Feed(type == 0 ? MakeEchoReply(Id(), slot) : MakeIcmpError(type, code, Id(), slot),
                  responder, net.Now());
    }
};

TEST_F(ConsoleCsvRun, PrintsEveryVisibleRowWithTimesNotesAndSplits) {
    Answer(1, kTestX, 1500); // 1.5 ms
    Answer(2, kTestX, 250);  // two responders split hop 2
    Answer(2, kTestY, 250);
    Answer(3, kTestZ, 250, 3, 13);    // unreachable: a note and a loss
    Answer(4, kTestTarget, 12345, 0); // the target ends the route at hop 4
    const CString csv = FormatRowsCsv(CHopwatchDataRowSource(data), 0);
    const CString expected =
        L"row,ttl,image,address,name,note,sent,received,lost,last_ms,min_ms,avg_ms,max_ms,"
        L"stddev_ms,jitter_ms\n"
        L"0,0,4,,,,0,0,0,,,,,,\n"
        L"1,1,0,203.0.113.1,,,1,1,0,1.500,1.500,1.500,1.500,,\n"
        L"2,2,1,,* 2 alternative routes *,,2,2,0,0.250,0.250,0.250,0.250,0.000,0.000\n"
        L"3,0,2,203.0.113.2,,,0,1,0,0.250,0.250,0.250,0.250,,\n"
        L"4,0,2,203.0.113.1,,,0,1,0,0.250,0.250,0.250,0.250,,\n"
        L"5,3,4,,,Communication administratively prohibited by filtering,1,0,1,,,,,,\n"
        L"6,4,3,198.51.100.9,,,1,1,0,12.345,12.345,12.345,12.345,,\n";
    EXPECT_EQ(csv, expected);

    // The history column: newest first, times in ms, -1 awaiting, -2 nothing to show.
    data.ProbeHop(1);
    const CString withHistory = FormatRowsCsv(CHopwatchDataRowSource(data), 4);
    EXPECT_NE(withHistory.find(L"max_ms,history,stddev_ms,jitter_ms\n"), CString::npos);
    EXPECT_NE(withHistory.find(L",1.500,1.500,1.500,1.500,-1 1.500,,\n"), CString::npos)
        << std::string(withHistory.begin(), withHistory.end());
}

TEST(ConsoleProbeMethod, TheRemediesOfARefusedOpen) {
    const CString group = StartFailureRemedy(kProbeDatagram, true, kProbeDatagram);
    EXPECT_NE(group.find(L"not allowed for this user's group"), CString::npos);
    EXPECT_NE(group.find(L"net.ipv4.ping_group_range"), CString::npos);
    EXPECT_NE(group.find(L"root"), CString::npos);
    EXPECT_NE(group.find(L"CAP_NET_RAW"), CString::npos);
    EXPECT_NE(StartFailureRemedy(kProbeDatagram, false, kProbeDatagram).find(L"CAP_NET_RAW"),
              CString::npos);
    const CString raw = StartFailureRemedy(kProbeRaw, true, kProbeDatagram);
    EXPECT_NE(raw.find(L"CAP_NET_RAW"), CString::npos);
    EXPECT_NE(raw.find(L"/method raw"), CString::npos);
    EXPECT_NE(StartFailureRemedy(kProbeRaw, true, kProbeSystem).find(L"administrator"),
              CString::npos);
    // Nothing to add to the system's text of another failure.
    EXPECT_TRUE(StartFailureRemedy(kProbeRaw, false, kProbeDatagram).empty());
    EXPECT_TRUE(StartFailureRemedy(kProbeSystem, true, kProbeSystem).empty());
}

TEST(ConsoleJson, StringsAreEscapedSoThatAnyNameIsValidJson) {
    EXPECT_EQ(JsonString(L"r2 \"q\" \\ x"), L"\"r2 \\\"q\\\" \\\\ x\"");
    EXPECT_EQ(JsonString(L"a\nb\t\x01\x1f\x7f"), L"\"a\\nb\\t\\u0001\\u001f\x7f\"");
    // Other characters stay as they are and become UTF-8; a lone surrogate cannot, so it
    // becomes U+FFFD.
    EXPECT_EQ(ToUtf8(JsonString(L"r\u00fc\u65e5")), "\"r\xc3\xbc\xe6\x97\xa5\"");
    CString lone = L"x";
    lone += static_cast<wchar_t>(0xD800);
    EXPECT_EQ(ToUtf8(JsonString(lone)), "\"x\xef\xbf\xbd\"");
    EXPECT_EQ(JsonUtcTime(CNTimeStamp()), L"null");
    EXPECT_EQ(JsonUtcTime(CNTimeStamp(2026, 3, 4, 5, 6, 7, 89)), L"\"2026-03-04T05:06:07.089Z\"");
}

namespace {

NArray<CString> Split(const CString& text, wchar_t separator) {
    NArray<CString> parts;
    size_t begin = 0;
    for (;;) {
        const size_t end = text.find(separator, begin);
        const int n = parts.GetSize();
        parts.SetSize(n + 1);
        parts[n] = text.substr(begin, end == CString::npos ? CString::npos : end - begin);
        if (end == CString::npos)
            return parts;
        begin = end + 1;
    }
}

CString JsonValue(const CString& csvField) {
    return csvField.empty() ? CString(L"null") : csvField;
}

} // namespace

TEST_F(ConsoleCsvRun, JsonHoldsTheCsvsCountsTimesAndNotes) {
    for (int us : {1000, 3000, 2000})
        Answer(1, kTestX, us); // a spread of 0.816 ms, a jitter of 1.5 ms
    Answer(2, kTestX, 250);    // a split hop
    Answer(2, kTestY, 250);
    // The router at hop 3 answers 2 probes of 30; the target at hop 4 answers every one.
    for (int i = 0; i < 30; ++i) {
        if (i < 2)
            Answer(3, kTestZ, 300);
        else
            data.ProbeHop(3);
        Answer(4, kTestTarget, 500, 0);
    }
    net.Advance(10000000);
    {
        std::lock_guard<std::recursive_mutex> guard(data.m_lock);
        data.SweepTimeouts(net.Now());
    }
    CHopwatchDataRowSource live(data);
    CConsoleRowSnapshot rows(live);
    ASSERT_TRUE(rows.Take());
    SConsoleRunFacts facts;
    facts.targetText = L"198.51.100.9";
    facts.targetAddress = data.GetTargetAddress();
    facts.probeMethod = L"raw";
    const CString json = FormatRunJson(facts, rows);
    const CString csv = FormatRowsCsv(rows, 0);
    EXPECT_NE(csv.find(L",2.000,1.000,2.000,3.000,0.816,1.500\n"), CString::npos)
        << std::string(csv.begin(), csv.end());
    EXPECT_NE(csv.find(L",replies limited,30,2,28,"), CString::npos);

    const NArray<CString> lines = Split(csv, L'\n');
    ASSERT_EQ(lines.GetSize(), rows.GetRowCount() + 2); // the header and the final break
    for (int r = 0; r < rows.GetRowCount(); ++r) {
        const NArray<CString> f = Split(lines[r + 1], L',');
        ASSERT_EQ(f.GetSize(), 15);
        const CString start = L"    {\"row\": " + f[0] + L",";
        const size_t at = json.find(start);
        ASSERT_NE(at, CString::npos) << r;
        const CString row = json.substr(at, json.find(L'\n', at) - at);
        const CString note = f[5].empty() ? L"null" : L"\"" + f[5] + L"\"";
        EXPECT_NE(row.find(L"\"note\": " + note + L", \"sent\": " + f[6] + L", \"received\": " +
                           f[7] + L", \"lost\": " + f[8] + L","),
                  CString::npos)
            << r;
        EXPECT_NE(row.find(L"\"last_ms\": " + JsonValue(f[9]) + L", \"min_ms\": " +
                           JsonValue(f[10]) + L", \"avg_ms\": " + JsonValue(f[11]) +
                           L", \"max_ms\": " + JsonValue(f[12]) + L", \"stddev_ms\": " +
                           JsonValue(f[13]) + L", \"jitter_ms\": " + JsonValue(f[14]) + L"}"),
                  CString::npos)
            << r;
    }
    // An alternative tells the hop it answers for; the target's row says so.
    EXPECT_NE(json.find(L"{\"row\": 3, \"kind\": \"alternative\", \"ttl\": 2,"), CString::npos);
    EXPECT_NE(json.find(L"{\"row\": 0, \"kind\": \"local\", \"ttl\": 0,"), CString::npos);
    EXPECT_NE(json.find(L"\"kind\": \"hop\", \"ttl\": 4, \"target\": true, \"address\": "
                        L"\"198.51.100.9\""),
              CString::npos);
    EXPECT_NE(json.find(L"\"target\": {\"text\": \"198.51.100.9\", \"address\": "
                        L"\"198.51.100.9\", \"name\": null},\n  \"probe_method\": \"raw\""),
              CString::npos);
    EXPECT_NE(json.find(L"\"loss_percent\": 93.333,"), CString::npos);
    EXPECT_EQ(json.find(L"nan"), CString::npos);
}
