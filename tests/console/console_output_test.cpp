// hopwatch-console: option parsing and the CSV form of a run.
#include <gtest/gtest.h>

#include "console/console_options.h"
#include "console/csv_output.h"
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
    // Unset options keep the stored settings.
    SParsed plain = Parse({L"192.0.2.1"});
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.options.intervalMs, 0u);
    EXPECT_EQ(plain.options.reverseDns, -1);
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

TEST(ConsoleOptions, RecordingOptionsAndAReplayWithoutHost) {
    SParsed record = Parse({L"/record", L"run 1.hwrec", L"h"});
    ASSERT_TRUE(record.ok);
    EXPECT_EQ(record.options.recordPath, L"run 1.hwrec");
    EXPECT_FALSE(record.options.noRecord);
    EXPECT_TRUE(Parse({L"/norecord", L"h"}).options.noRecord);
    SParsed replay = Parse({L"/replay", L"r.hwrec", L"/csv", L"/history", L"4"});
    ASSERT_TRUE(replay.ok);
    EXPECT_EQ(replay.options.replayPath, L"r.hwrec");
    EXPECT_TRUE(replay.options.csv);
    EXPECT_FALSE(Parse({L"/replay", L"r.hwrec", L"h"}).ok); // a replay runs no test
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
        L"row,ttl,image,address,name,note,sent,received,lost,last_ms,min_ms,avg_ms,max_ms\n"
        L"0,0,4,,,,0,0,0,,,,\n"
        L"1,1,0,203.0.113.1,,,1,1,0,1.500,1.500,1.500,1.500\n"
        L"2,2,1,,* 2 alternative routes *,,2,2,0,0.250,0.250,0.250,0.250\n"
        L"3,0,2,203.0.113.2,,,0,1,0,0.250,0.250,0.250,0.250\n"
        L"4,0,2,203.0.113.1,,,0,1,0,0.250,0.250,0.250,0.250\n"
        L"5,3,4,,,Communication administratively prohibited by filtering,1,0,1,,,,\n"
        L"6,4,3,198.51.100.9,,,1,1,0,12.345,12.345,12.345,12.345\n";
    EXPECT_EQ(csv, expected);

    // The history column: newest first, times in ms, -1 awaiting, -2 nothing to show.
    data.ProbeHop(1);
    const CString withHistory = FormatRowsCsv(CHopwatchDataRowSource(data), 4);
    EXPECT_NE(withHistory.find(L"max_ms,history\n"), CString::npos);
    EXPECT_NE(withHistory.find(L",1.500,1.500,1.500,1.500,-1 1.500\n"), CString::npos)
        << std::string(withHistory.begin(), withHistory.end());
}
