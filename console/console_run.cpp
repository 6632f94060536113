// Drives one run of the engine from the console and prints its title and rows.
#include "console/console_run.h"

#include <chrono>
#include <thread>

#include "console/console_report.h"
#include "console/csv_output.h"
#include "console/table_view.h"
#include "console/timeline_text.h"
#include "engine/CHopwatchData.h"
#include "engine/CNInetHost.h"
#include "foundation/utf.h"
#include "foundation/system_error_text.h"
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

CString CurrentTitle(const CHopwatchData& data) {
    CString title;
    data.GetTitle(title, -1);
    return title;
}

} // namespace

int RunConsoleTest(const SConsoleOptions& options) {
    ApplyOptions(options);

    // Resolve once up front so a typo gets a clear message and its own exit code; the engine
    // resolves again on its worker, as the window does.
    CNInetHost host(options.host);
    if (host.GetAddressCount() == 0) {
        ConsoleWrite(ToUtf8(L"hopwatch-console: cannot resolve host \"" + options.host + L"\"\n"),
                     true);
        return 2;
    }

    bool color = options.color == 1 || (options.color < 0 && ConsoleSupportsColor());
    CHopwatchData data;
    // The timeline of the run, for /timeline and the report's section.
    CHopwatchTimeline timeline;
    CTimelineLiveFeed feed(data, timeline);
    const CNTimeStamp startedAt = CNTimeStamp::Now();
    if (!data.Start(options.host)) {
        WriteRunError(data);
        return 1;
    }
    feed.Begin();

    ConsoleInstallInterruptHandler();
    CHopwatchMemoryList list;
    list.SetHistoryWidth(kTableGraphWidth);
    CHopwatchRowRefresher refresher;
    auto started = std::chrono::steady_clock::now();
    auto stopRequestedAt = started;
    bool stopRequested = false;
    while (data.IsRunning()) {
        std::this_thread::sleep_for(kTick);
        auto now = std::chrono::steady_clock::now();
        double elapsed = std::chrono::duration<double>(now - started).count();
        int interrupts = ConsoleInterruptCount();
        if (!stopRequested &&
            ((options.runSeconds > 0 && elapsed >= options.runSeconds) || interrupts > 0)) {
            data.RequestStop();
            stopRequested = true;
            stopRequestedAt = now;
        }
        // A second Ctrl+C, or outstanding probes that outlive their time-out by far (a stuck
        // wire), end the run at once.
        double stopping = std::chrono::duration<double>(now - stopRequestedAt).count();
        if (interrupts > 1 || (stopRequested && stopping > data.GetTimeoutMs() / 1000.0 + 10.0))
            break;
        if (options.live && !options.csv) {
            refresher.Refresh(data, list);
            ConsoleWrite("\x1b[H\x1b[2J" + ToUtf8(CurrentTitle(data) + L"\n") +
                         FormatTableViewUtf8(list, color));
        }
    }
    data.Stop();
    feed.Finish();
    const CNTimeStamp stoppedAt = CNTimeStamp::Now();

    CString title = CurrentTitle(data);
    if (!options.csv || WantsReport(options))
        refresher.Refresh(data, list);
    if (options.csv) {
        ConsoleWrite(ToUtf8(title + L"\n"), true);
        ConsoleWrite(ToUtf8(FormatRowsCsv(CHopwatchDataRowSource(data), options.historyValues)));
    } else {
        ConsoleWrite(ToUtf8(title + L"\n") + FormatTableViewUtf8(list, color));
    }
    const CHopwatchDataRowSource rows(data);
    if (options.timeline) {
        STimelineReport text;
        if (SnapshotTimelineReport(timeline, rows, text, kConsoleTimelineCells))
            ConsoleWrite(ToUtf8(FormatTimelineText(text, color)));
    }
    bool reported = true;
    if (WantsReport(options)) {
        SHopwatchReportInput report;
        reported =
            MakeConsoleReportInput(list, title, startedAt, stoppedAt, report) &&
            (g_bExportTimeline == 0 || SnapshotTimelineReport(timeline, rows, report.timeline)) &&
            WriteConsoleReports(options, report);
    }
    if (data.GetLastErrorCode() != 0) {
        WriteRunError(data);
        return 1;
    }
    return reported ? 0 : 3;
}
