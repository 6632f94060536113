// What hopwatch-console prints when a run has ended, live or replayed from its recording.
#include "console/run_end_output.h"

#include "console/CConsoleRowSnapshot.h"
#include "console/console_report.h"
#include "console/csv_output.h"
#include "console/table_view.h"
#include "console/timeline_text.h"
#include "foundation/utf.h"
#include "platform/console_io.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRowRefresher.h"
#include "settings/settings_globals.h"

bool ConsoleUsesColor(const SConsoleOptions& options) {
    return options.color == 1 || (options.color < 0 && ConsoleSupportsColor());
}

BOOL PrintRunEnd(const SConsoleOptions& options, const CHopwatchRowSource& rows,
                 const CHopwatchTimeline& timeline, const SConsoleRunFacts& facts,
                 const CString& title, const CNTimeStamp& started, const CNTimeStamp& stopped) {
    CConsoleRowSnapshot snapshot(rows);
    snapshot.Take();
    const bool document = options.csv || options.json;
    if (document) {
        ConsoleWrite(ToUtf8(title + L"\n"), true);
        ConsoleWrite(ToUtf8(options.json ? FormatRunJson(facts, snapshot)
                                         : FormatRowsCsv(snapshot, options.historyValues)));
    } else {
        CHopwatchMemoryList list;
        list.SetHistoryWidth(kTableGraphWidth);
        CHopwatchRowRefresher().Refresh(snapshot, list);
        ConsoleWrite(ToUtf8(title + L"\n") +
                     FormatTableViewUtf8(list, snapshot, ConsoleUsesColor(options)));
    }
    if (options.timeline) {
        // After a CSV or JSON document it goes to standard error, so the output stays a document.
        STimelineReport text;
        if (SnapshotTimelineReport(timeline, rows, text, kConsoleTimelineCells))
            ConsoleWrite(ToUtf8(FormatTimelineText(text, ConsoleUsesColor(options))), document);
    }
    if (options.htmlPath.empty() && !options.exportReport && !options.openReport)
        return TRUE;
    // The report is the window's document: the list as the window shows it, without the
    // console's own notes.
    CHopwatchMemoryList reportList;
    reportList.SetHistoryWidth(kTableGraphWidth);
    CHopwatchRowRefresher().Refresh(rows, reportList);
    SHopwatchReportInput report;
    if (!MakeConsoleReportInput(reportList, title, started, stopped, report))
        return FALSE;
    // A timeline that cannot be taken (memory) leaves the report as it is without one.
    if (g_bExportTimeline != 0)
        SnapshotTimelineReport(timeline, rows, report.timeline);
    return WriteConsoleReports(options, report);
}
