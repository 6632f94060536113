// hopwatch-console --replay: a recording printed as its run printed its end.
#include "console/console_replay.h"

#include "console/run_end_output.h"
#include "engine/probe_method.h"
#include "foundation/system_error_text.h"
#include "foundation/utf.h"
#include "platform/console_io.h"
#include "recording/CRecordingReader.h"
#include "recording/recording_messages.h"
#include "results/CHopwatchRecordRows.h"
#include "settings/settings_globals.h"
#include "timeline/CHopwatchTimeline.h"

namespace {

void WriteMessage(const CString& text) {
    ConsoleWrite(ToUtf8(L"hopwatch-console: " + text + L"\n"), true);
}

// The run's facts for the JSON document, as the recording holds them.
SConsoleRunFacts RecordedFacts(const SConsoleOptions& options, const SRecordingSummary& summary) {
    const SRecordingHeader& header = summary.header;
    SConsoleRunFacts facts;
    facts.targetText = header.targetText;
    if (summary.targetAddress != SRecordingSummary::kHopwatchNoneAddress)
        facts.targetAddress = HopwatchSwapOrder(summary.targetAddress);
    facts.probeMethod = ProbeMethodName(static_cast<EHopwatchProbeMethod>(header.probeMethod));
    facts.intervalMs = header.intervalMs;
    facts.timeoutMs = header.timeoutMs;
    facts.maxTtl = header.maxTtl;
    facts.reverseDns = header.reverseDns != 0;
    facts.count = header.probeLimit;
    facts.runSeconds = header.runMs > 0 ? header.runMs / 1000.0 : -1.0;
    facts.historyValues = options.historyValues;
    facts.startedUtc = header.startUtc;
    // A run cut off ends with its last probe, its time taken as far from the start in UTC.
    facts.stoppedUtc =
        summary.ended ? summary.end.stopUtc
                      : CNTimeStamp(header.startUtc.GetValue() +
                                    (summary.lastTime.GetValue() - header.startTime.GetValue()));
    return facts;
}

} // namespace

int RunConsoleReplay(const SConsoleOptions& options) {
    CRecordingReplay replay;
    CRecordingReader reader;
    SRecordingSummary summary;
    // The recording's outcomes rebuild the run's timeline as they rebuild its rows.
    CHopwatchTimeline timeline;
    reader.ReadFile(options.replayPath, replay, &timeline, summary);
    const CString problem = RecordingReadText(summary, options.replayPath, L"\n");
    if (!problem.empty())
        WriteMessage(problem);
    if (!summary.IsShowable())
        return kConsoleExitFailed;
    CHopwatchRecordRows rows;
    if (!replay.BuildRows(rows)) {
        WriteMessage(SystemErrorText(8, FALSE));
        return kConsoleExitFailed;
    }
    // The report's icons as the run had them, unless the options say otherwise.
    g_bExportIcons = options.exportIcons >= 0 ? options.exportIcons
                                              : static_cast<int>(summary.header.exportIcons);
    const BOOL reported = PrintRunEnd(options, rows, timeline, RecordedFacts(options, summary),
                                      summary.title, summary.header.startTime, summary.StopTime());
    if (summary.ended && summary.end.errorCode != 0) {
        ConsoleWrite(ToUtf8(summary.end.errorText + L"\n" +
                            SystemErrorText(summary.end.errorCode, FALSE) + L"\n"),
                     true);
        return kConsoleExitFailed;
    }
    if (!reported)
        return kConsoleExitFailed;
    return summary.status == kRecordingComplete ? kConsoleExitDone : kConsoleExitPartial;
}
