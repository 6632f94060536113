// Drives one run of the engine from the console and prints its title and rows.
#include "console/console_run.h"

#include <chrono>
#include <thread>

#include "console/CConsoleRowSnapshot.h"
#include "console/console_report.h"
#include "console/csv_output.h"
#include "console/json_output.h"
#include "console/table_view.h"
#include "console/timeline_text.h"
#include "engine/CHopwatchData.h"
#include "engine/CNInetHost.h"
#include "foundation/utf.h"
#include "foundation/system_error_text.h"
#include "platform/clock_time.h"
#include "platform/console_io.h"
#include "results/CHopwatchDataRowSource.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRowRefresher.h"
#include "settings/settings_globals.h"
#include "timeline/CHopwatchTimeline.h"
#include "timeline/CTimelineLiveFeed.h"

namespace {

constexpr auto kTick = std::chrono::milliseconds(125); // the window's refresh period

void ApplyOptions(const SConsoleOptions& options) {
    if (options.intervalMs != 0)
        g_dwPingIntervalMS = options.intervalMs;
    if (options.timeoutMs != 0)
        g_dwPingTimeoutMS = options.timeoutMs;
    if (options.maxTtl != 0)
        g_dwMaxTTL = options.maxTtl;
    if (options.reverseDns >= 0)
        g_bReverseDNS = options.reverseDns;
    if (options.exportIcons >= 0)
        g_bExportIcons = options.exportIcons;
}

bool WantsReport(const SConsoleOptions& options) {
    return !options.htmlPath.empty() || options.exportReport || options.openReport;
}

// The engine's message and the system's text for its error code, on standard error.
void WriteRunError(const CHopwatchData& data) {
    ConsoleWrite(ToUtf8(data.GetErrorText() + L"\n" +
                        SystemErrorText(data.GetLastErrorCode(), FALSE) + L"\n"),
                 true);
}

void WriteMessage(const CString& text) {
    ConsoleWrite(ToUtf8(L"hopwatch-console: " + text + L"\n"), true);
}

CString CurrentTitle(const CHopwatchData& data) {
    CString title;
    data.GetTitle(title, -1);
    return title;
}

// The run's facts for the JSON document, as the engine took them at Start.
SConsoleRunFacts RunFacts(const SConsoleOptions& options, const CHopwatchData& data) {
    SConsoleRunFacts facts;
    facts.targetText = options.host;
    facts.probeMethod = ProbeMethodName(data.GetProbeMethod());
    facts.intervalMs = data.GetIntervalMs();
    facts.timeoutMs = data.GetTimeoutMs();
    facts.maxTtl = data.GetMaxTtl();
    facts.reverseDns = data.IsReverseDns() != FALSE;
    facts.count = options.count;
    facts.runSeconds = options.runSeconds;
    facts.historyValues = options.historyValues;
    return facts;
}

CNTimeStamp UtcNow() {
    return CNTimeStamp(PlatformSystemTimeUtc());
}

} // namespace

int RunConsoleTest(const SConsoleOptions& options) {
    ApplyOptions(options);
    const bool document = options.csv || options.json;

    // Resolve once up front so a typo gets a clear message; the engine resolves again on its
    // worker, as the window does.
    CNInetHost host(options.host);
    if (host.GetAddressCount() == 0) {
        WriteMessage(L"cannot resolve host \"" + options.host + L"\"");
        return kConsoleExitFailed;
    }

    bool color = options.color == 1 || (options.color < 0 && ConsoleSupportsColor());
    CHopwatchData data;
    data.SetProbeLimit(options.count);
    // The timeline of the run, for /timeline and the report's section.
    CHopwatchTimeline timeline;
    CTimelineLiveFeed feed(data, timeline);
    const CNTimeStamp startedAt = CNTimeStamp::Now();
    const CNTimeStamp startedUtc = UtcNow();
    if (!data.Start(options.host)) {
        WriteRunError(data);
        return kConsoleExitFailed;
    }
    feed.Begin();
    SConsoleRunFacts facts = RunFacts(options, data);
    facts.startedUtc = startedUtc;
    WriteMessage(L"probe method: " + facts.probeMethod);

    ConsoleInstallInterruptHandler();
    CHopwatchMemoryList list;
    list.SetHistoryWidth(kTableGraphWidth);
    CHopwatchRowRefresher refresher;
    CHopwatchDataRowSource live(data);
    CConsoleRowSnapshot rows(live);
    auto started = std::chrono::steady_clock::now();
    auto stopRequestedAt = started;
    bool stopRequested = false;
    while (data.IsRunning()) {
        std::this_thread::sleep_for(kTick);
        if (data.GetTargetAddress() != kHopwatchNone)
            facts.targetAddress = data.GetTargetAddress(); // Stop forgets it
        auto now = std::chrono::steady_clock::now();
        double elapsed = std::chrono::duration<double>(now - started).count();
        int interrupts = ConsoleInterruptCount();
        if (!stopRequested &&
            ((options.runSeconds > 0 && elapsed >= options.runSeconds) || interrupts > 0)) {
            data.RequestStop();
        }
        if (!stopRequested && data.IsStopRequested()) {
            // Asked for here, or the engine's own when every hop has had its count.
            stopRequested = true;
            stopRequestedAt = now;
        }
        // A second Ctrl+C, or outstanding probes that outlive their time-out by far (a stuck
        // wire), end the run at once.
        double stopping = std::chrono::duration<double>(now - stopRequestedAt).count();
        if (interrupts > 1 || (stopRequested && stopping > data.GetTimeoutMs() / 1000.0 + 10.0))
            break;
        if (options.live && !document) {
            rows.Take();
            refresher.Refresh(rows, list);
            ConsoleWrite("\x1b[H\x1b[2J" + ToUtf8(CurrentTitle(data) + L"\n") +
                         FormatTableViewUtf8(list, rows, color));
        }
    }
    if (data.GetTargetAddress() != kHopwatchNone)
        facts.targetAddress = data.GetTargetAddress();
    data.Stop();
    feed.Finish();
    const CNTimeStamp stoppedAt = CNTimeStamp::Now();
    facts.stoppedUtc = UtcNow();

    CString title = CurrentTitle(data);
    rows.Take();
    if (document) {
        ConsoleWrite(ToUtf8(title + L"\n"), true);
        ConsoleWrite(ToUtf8(options.json ? FormatRunJson(facts, rows)
                                         : FormatRowsCsv(rows, options.historyValues)));
    } else {
        refresher.Refresh(rows, list);
        ConsoleWrite(ToUtf8(title + L"\n") + FormatTableViewUtf8(list, rows, color));
    }
    if (options.timeline) {
        // After a CSV or JSON document it goes to standard error, so the output stays a document.
        STimelineReport text;
        if (SnapshotTimelineReport(timeline, live, text, kConsoleTimelineCells))
            ConsoleWrite(ToUtf8(FormatTimelineText(text, color)), document);
    }
    bool reported = true;
    if (WantsReport(options)) {
        // The report is the window's document: the list as the window shows it, without the
        // console's own notes.
        CHopwatchMemoryList reportList;
        reportList.SetHistoryWidth(kTableGraphWidth);
        CHopwatchRowRefresher().Refresh(live, reportList);
        SHopwatchReportInput report;
        reported =
            MakeConsoleReportInput(reportList, title, startedAt, stoppedAt, report) &&
            (g_bExportTimeline == 0 || SnapshotTimelineReport(timeline, live, report.timeline)) &&
            WriteConsoleReports(options, report);
    }
    if (data.GetLastErrorCode() != 0) {
        WriteRunError(data);
        return kConsoleExitFailed;
    }
    return reported ? kConsoleExitDone : kConsoleExitFailed;
}
