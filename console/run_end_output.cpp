// What hopwatch-console prints when a run has ended, live or replayed from its recording.
#include "console/run_end_output.h"

#include "console/console_report.h"
#include "console/csv_output.h"
#include "console/table_view.h"
#include "foundation/utf.h"
#include "platform/console_io.h"

namespace {

bool WantsReport(const SConsoleOptions& options) {
    return !options.htmlPath.empty() || options.exportReport || options.openReport;
}

} // namespace

bool ConsoleUsesColor(const SConsoleOptions& options) {
    return options.color == 1 || (options.color < 0 && ConsoleSupportsColor());
}

BOOL PrintRunEnd(const SConsoleOptions& options, const CHopwatchRowSource& rows,
                 CHopwatchRowRefresher& refresher, CHopwatchMemoryList& list, const CString& title,
                 const CNTimeStamp& started, const CNTimeStamp& stopped) {
    if (!options.csv || WantsReport(options))
        refresher.Refresh(rows, list);
    if (options.csv) {
        ConsoleWrite(ToUtf8(title + L"\n"), true);
        ConsoleWrite(ToUtf8(FormatRowsCsv(rows, options.historyValues)));
    } else {
        ConsoleWrite(ToUtf8(title + L"\n") + FormatTableViewUtf8(list, ConsoleUsesColor(options)));
    }
    if (!WantsReport(options))
        return TRUE;
    SHopwatchReportInput report;
    return MakeConsoleReportInput(list, title, started, stopped, report) &&
           WriteConsoleReports(options, report);
}
