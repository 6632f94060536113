// Drives one run of the engine from the console and prints its title and rows.
#include "console/console_run.h"

#include <chrono>
#include <thread>

#include "console/CConsoleRowSnapshot.h"
#include "console/json_output.h"
#include "console/start_remedy.h"
#include "console/run_end_output.h"
#include "console/table_view.h"
#include "engine/CHopwatchData.h"
#include "engine/CNInetHost.h"
#include "foundation/utf.h"
#include "foundation/system_error_text.h"
#include "platform/clock_time.h"
#include "platform/console_io.h"
#include "platform/icmp_socket.h"
#include "recording/CHopwatchRecorder.h"
#include "recording/recording_messages.h"
#include "results/CHopwatchDataRowSource.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRowRefresher.h"
#include "settings/settings_globals.h"
#include "timeline/CHopwatchTimeline.h"

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
    if (options.probeMethod >= 0)
        g_dwProbeMethod = static_cast<DWORD>(options.probeMethod);
}

// Where the run's recording goes: nowhere with --no-record, the named file with --record, else a
// new file of the recordings folder.
CHopwatchRecorder::EMode RecordingMode(const SConsoleOptions& options) {
    if (options.noRecord)
        return CHopwatchRecorder::kNoFile;
    return options.recordPath.empty() ? CHopwatchRecorder::kInFolder : CHopwatchRecorder::kToFile;
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

// Says once, on standard error, that the recording stopped; the run goes on.
void ReportRecordingStop(const CHopwatchRecorder& recorder, bool& reported) {
    if (reported || recorder.GetError() == 0)
        return;
    reported = true;
    WriteMessage(RecordingStoppedText(recorder.GetError(), recorder.GetPath(), L"\n"));
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

    const bool color = ConsoleUsesColor(options);
    CHopwatchData data;
    // The timeline of the run, for --timeline and the report's section: fed by the recorder's
    // thread, which drains the engine's outcomes (declared first, so that it outlives it).
    CHopwatchTimeline timeline;
    CHopwatchRecorder recorder(data);
    recorder.AddListener(&timeline);
    data.SetProbeLimit(options.count);
    recorder.SizeRing();
    recorder.SetRunLength(options.runSeconds);
    const CNTimeStamp startedAt = CNTimeStamp::Now();
    const CNTimeStamp startedUtc = UtcNow();
    if (!data.Start(options.host)) {
        WriteRunError(data);
        const CString remedy = StartFailureRemedy(data.GetProbeMethod(),
                                                  PlatformIcmpAccessDenied(data.GetLastErrorCode()),
                                                  SystemUnprivilegedProbeMethod());
        if (!remedy.empty())
            ConsoleWrite(ToUtf8(remedy + L"\n"), true);
        return kConsoleExitFailed;
    }
    recorder.Begin(RecordingMode(options), options.recordPath,
                   static_cast<std::uint64_t>(g_dwRecordingsBudgetMB) << 20);
    bool recordingStopReported = false;
    SConsoleRunFacts facts = RunFacts(options, data);
    facts.startedUtc = startedUtc;
    WriteMessage(L"probe method: " + facts.probeMethod + L" (" +
                 ProbeMethodDescription(data.GetProbeMethod()) + L")");

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
        ReportRecordingStop(recorder, recordingStopReported);
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
    const CNTimeStamp stoppedAt = CNTimeStamp::Now();
    facts.stoppedUtc = UtcNow();
    recorder.Finish();
    ReportRecordingStop(recorder, recordingStopReported);

    const BOOL reported =
        PrintRunEnd(options, live, timeline, facts, CurrentTitle(data), startedAt, stoppedAt);
    if (data.GetLastErrorCode() != 0) {
        WriteRunError(data);
        return kConsoleExitFailed;
    }
    return reported ? kConsoleExitDone : kConsoleExitFailed;
}
