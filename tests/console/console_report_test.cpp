// hopwatch-console's report: its options, version texts and the snapshot of its in-memory list.
#include <gtest/gtest.h>

#include "console/console_options.h"
#include "console/console_report.h"
#include "hopwatch_version.h"
#include "report/report_document.h"
#include "report/report_version.h"
#include "results/CHopwatchMemoryList.h"
#include "settings/settings_globals.h"

namespace {

BOOL Parse(std::initializer_list<const wchar_t*> args, SConsoleOptions& options) {
    NArray<CString> argv;
    argv.SetSize(static_cast<int>(args.size()));
    int i = 0;
    for (const wchar_t* a : args)
        argv[i++] = a;
    NArray<CString> errors;
    return ParseConsoleOptions(argv.GetSize(), argv.GetData(), options, errors);
}

} // namespace

TEST(ConsoleReport, OptionsNameTheFileTheExportTheOpeningAndTheIcons) {
    SConsoleOptions options;
    ASSERT_TRUE(Parse({L"/html", L" out file.html ", L"/export", L"/noicons", L"h"}, options));
    EXPECT_EQ(options.htmlPath, L"out file.html");
    EXPECT_TRUE(options.exportReport);
    EXPECT_FALSE(options.openReport);
    EXPECT_EQ(options.exportIcons, 0);
    SConsoleOptions more;
    ASSERT_TRUE(Parse({L"/open", L"/icons", L"h"}, more));
    EXPECT_TRUE(more.openReport);
    EXPECT_EQ(more.exportIcons, 1);
    EXPECT_TRUE(more.htmlPath.empty());
    SConsoleOptions bad;
    EXPECT_FALSE(Parse({L"h", L"/html"}, bad));
    EXPECT_FALSE(Parse({L"/html", L"  ", L"h"}, bad));
}

TEST(ConsoleReport, VersionTextsFollowTheBuildsOneVersionNumber) {
    const SHopwatchReportVersion version = BuiltInReportVersion();
    wchar_t number[32];
    swprintf(number, 32, L"%d.%02d.%02d", HOPWATCH_VERSION_MAJOR, HOPWATCH_VERSION_MINOR,
             HOPWATCH_VERSION_PATCH);
    const CString build = L"Release";
    EXPECT_EQ(version.generator, L"Hopwatch " + build + L" " + number);
    EXPECT_EQ(version.footer, L"Hopwatch</a> " + build + L" " + number + L" ");
    EXPECT_FALSE(version.buildUtc.IsSet());
}

TEST(ConsoleReport, SnapshotOfTheListIsWhatTheTableShows) {
    CHopwatchMemoryList list;
    ASSERT_TRUE(list.InsertItem(0));
    ASSERT_TRUE(list.InsertItem(1));
    ASSERT_TRUE(list.ResizeRowStore(2));
    list.SetItemText(0, 1, L"192.0.2.10");
    list.SetItemText(1, 0, L"1");
    list.SetItemText(1, 2, L"r1 <lab> & co");
    list.SetItemImage(1, 3);
    list.GetCellColors(1)->SetSize(12);
    for (int c = 0; c < 12; ++c)
        (*list.GetCellColors(1))[c] = c == 3 ? 0x9999FF : 0xFFFFFF;
    const int savedIcons = g_bExportIcons;
    g_bExportIcons = 1;
    const CNTimeStamp started(2026, 12, 8, 10, 0, 0);
    SHopwatchReportInput input;
    ASSERT_TRUE(
        MakeConsoleReportInput(list, L"203.0.113.1 -> target", started, CNTimeStamp(), input));
    g_bExportIcons = savedIcons;
    EXPECT_TRUE(input.exportIcons);
    EXPECT_TRUE(input.now.IsSet());
    EXPECT_EQ(input.version.generator, BuiltInReportVersion().generator);
    ASSERT_EQ(input.columns.GetSize(), 12);
    EXPECT_EQ(input.columns[7].header, L"Last RT [ms]");
    ASSERT_EQ(input.items.GetSize(), 2);
    EXPECT_EQ(input.items[1].image, 3);

    CString document;
    ASSERT_TRUE(BuildHopwatchReport(input, document));
    EXPECT_NE(document.find(L"\tHost: 203.0.113.1 -&gt; target<br>"), CString::npos);
    EXPECT_NE(document.find(L"\tTest sampled: "), CString::npos);
    EXPECT_NE(document.find(L">r1&nbsp;&lt;lab&gt;&nbsp;&amp;&nbsp;co</td>"), CString::npos);
    EXPECT_NE(document.find(L"<td class=\"tdr\" style=\"background-color: #FF9999;\"></td>"),
              CString::npos);
    EXPECT_NE(document.find(L"<th class=\"thr\">Loss</th>"), CString::npos);
    EXPECT_NE(document.find(L"<th class=\"thl\">Host Name</th>"), CString::npos);
    // The table's own cells: 12 per row plus the icon cell.
    EXPECT_NE(document.find(L"<td class=\"tdhx\">\r\n<table class=\"tbi\">"), CString::npos);
}
