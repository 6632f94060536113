// hopwatch-console's HTML report: the same document as the window's Export, from the console's
// list.
#include "console/console_report.h"

#include "foundation/system_error_text.h"
#include "foundation/utf.h"
#include "platform/console_io.h"
#include "report/report_builtin_images.h"
#include "report/report_export.h"
#include "report/report_from_list.h"
#include "report/report_version.h"
#include "settings/settings_globals.h"

namespace {

void WriteError(const CString& text) {
    ConsoleWrite(ToUtf8(L"hopwatch-console: " + text + L"\n"), true);
}

} // namespace

BOOL MakeConsoleReportInput(const CHopwatchListView& list, const CString& title,
                            const CNTimeStamp& started, const CNTimeStamp& stopped,
                            SHopwatchReportInput& input) {
    input.now = CNTimeStamp::Now();
    input.progressText = title;
    input.started = started;
    input.stopped = stopped;
    input.version = BuiltInReportVersion();
    input.exportIcons = g_bExportIcons != 0 ? TRUE : FALSE;
    input.programIcon = BuiltInProgramIconPixels();
    input.rowImages = BuiltInRowImagePixels();
    return SnapshotReportList(list, input);
}

BOOL WriteConsoleReports(const SConsoleOptions& options, const SHopwatchReportInput& input) {
    BOOL ok = TRUE;
    if (!options.htmlPath.empty()) {
        DWORD error = 0;
        if (!WriteHopwatchReport(input, options.htmlPath, error)) {
            WriteError(SystemErrorText(error, FALSE) + L"\ncannot write the report to " +
                       options.htmlPath);
            ok = FALSE;
        }
    }
    if (options.exportReport || options.openReport) {
        SHopwatchExportResult result = ExportHopwatchReport(input, options.openReport);
        if (result.status == kExportNothing) {
            WriteError(L"no rows to report");
            ok = FALSE;
        } else if (result.status != kExportDone) {
            WriteError(HopwatchExportErrorText(result));
            ok = FALSE;
        }
        if (!result.path.empty() && result.status != kExportNoTempDirectory &&
            result.status != kExportWriteFailed)
            ConsoleWrite(ToUtf8(result.path + L"\n"));
    }
    return ok;
}
