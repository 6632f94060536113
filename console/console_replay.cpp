// hopwatch-console /replay: a recording printed as its run printed its end.
#include "console/console_replay.h"

#include "console/run_end_output.h"
#include "console/table_view.h"
#include "foundation/system_error_text.h"
#include "foundation/utf.h"
#include "platform/console_io.h"
#include "recording/CRecordingReader.h"
#include "recording/recording_messages.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRecordRows.h"
#include "settings/settings_globals.h"

namespace {

void WriteError(const CString& text) {
    ConsoleWrite(ToUtf8(L"hopwatch-console: " + text + L"\n"), true);
}

} // namespace

int RunConsoleReplay(const SConsoleOptions& options) {
    CRecordingReplay replay;
    CRecordingReader reader;
    SRecordingSummary summary;
    reader.ReadFile(options.replayPath, replay, nullptr, summary);
    const CString problem = RecordingReadText(summary, options.replayPath, L"\n");
    if (!problem.empty())
        WriteError(problem);
    if (!summary.IsShowable())
        return 4;
    CHopwatchRecordRows rows;
    if (!replay.BuildRows(rows)) {
        WriteError(SystemErrorText(8, FALSE));
        return 4;
    }
    // The report's icons as the run had them, unless the options say otherwise.
    g_bExportIcons = options.exportIcons >= 0 ? options.exportIcons
                                              : static_cast<int>(summary.header.exportIcons);
    CHopwatchMemoryList list;
    list.SetHistoryWidth(kTableGraphWidth);
    CHopwatchRowRefresher refresher;
    const BOOL reported = PrintRunEnd(options, rows, refresher, list, summary.title,
                                      summary.header.startTime, summary.StopTime());
    if (summary.ended && summary.end.errorCode != 0) {
        ConsoleWrite(ToUtf8(summary.end.errorText + L"\n" +
                            SystemErrorText(summary.end.errorCode, FALSE) + L"\n"),
                     true);
        return 1;
    }
    if (!reported)
        return 3;
    return summary.status == kRecordingComplete ? 0 : 5;
}
