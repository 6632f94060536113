// CHopwatchDlg: every run recorded as it goes, and a recording opened again read-only from the
// system menu.
#include "app/CHopwatchDlg.h"

#include <commdlg.h>

#include <vector>

#include "platform/recording_files.h"
#include "recording/CRecordingReader.h"
#include "recording/recording_messages.h"
#include "results/run_state_view.h"
#include "settings/settings_globals.h"
#include "ui/ui_message_box.h"

namespace {
const wchar_t kOpenRecordingCaption[] = L"Open recording";
const wchar_t kRecordingStoppedCaption[] = L"Recording stopped";
} // namespace

// Every start goes through here: the previous recording is finished first (the engine's Start
// empties the ring it reads), a recording shown is left, and the new run is recorded as the
// settings say.
BOOL CHopwatchDlg::StartRecordedRun(const CString& host) {
    m_recorder.Finish();
    LeaveRecording();
    m_recorder.SizeRing();
    if (!m_data.Start(host))
        return FALSE;
    m_recorder.Begin(g_dwRecordRuns != 0 ? CHopwatchRecorder::kInFolder
                                         : CHopwatchRecorder::kNoFile,
                     CString(), static_cast<std::uint64_t>(g_dwRecordingsBudgetMB) << 20);
    return TRUE;
}

// The run has ended: the recording writes its end once the workers are gone, and a recording
// that stopped on the way is said once, with the system's reason.
void CHopwatchDlg::OnRunEnded() {
    m_recorder.RequestFinish();
    const DWORD error = m_recorder.GetError();
    if (error != 0)
        UiMessageBox(m_hWnd, RecordingStoppedText(error, m_recorder.GetPath(), L"\r\n"),
                     kRecordingStoppedCaption, MB_OK | MB_ICONWARNING);
}

void CHopwatchDlg::OnOpenRecording() {
    CString folder;
    DWORD error = 0;
    PlatformRecordingsFolder(folder, error);
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof(open);
    open.hwndOwner = m_hWnd;
    open.lpstrFilter = L"Hopwatch recordings (*.hwrec)\0*.hwrec\0All files (*.*)\0*.*\0";
    open.lpstrFile = file.data();
    open.nMaxFile = static_cast<DWORD>(file.size());
    open.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    open.lpstrTitle = kOpenRecordingCaption;
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (::GetOpenFileNameW(&open))
        OpenRecording(file.data());
}

BOOL CHopwatchDlg::OpenRecording(const CString& path) {
    if (m_data.IsRunning()) {
        UiMessageBox(m_hWnd, L"Stop the test before opening a recording.", kOpenRecordingCaption,
                     MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    CRecordingReplay replay;
    CRecordingReader reader;
    SRecordingSummary summary;
    // Its outcomes rebuild the run's timeline beside the live one, which a failed read leaves as
    // it was.
    reader.ReadFile(path, replay, &m_recordingTimeline, summary);
    const CString problem = RecordingReadText(summary, path, L"\r\n");
    if (!summary.IsShowable() || !replay.BuildRows(m_recordingRows)) {
        UiMessageBox(m_hWnd, problem.empty() ? CString(L"Not enough memory.") : problem,
                     kOpenRecordingCaption, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    m_recordingTitle = summary.title;
    m_recordingStart = summary.header.startTime;
    m_recordingStop = summary.StopTime();
    m_recordingTarget = summary.targetAddress == SRecordingSummary::kHopwatchNoneAddress
                            ? kHopwatchNone
                            : HopwatchSwapOrder(summary.targetAddress);
    m_showingRecording = TRUE;
    m_timelineWnd.SetSource(m_recordingTimeline, m_recordingRows);
    // A fresh refresher: every row is filled anew from the recording.
    m_refresher = CHopwatchRowRefresher();
    ShowControl(m_hostCombo, FALSE);
    m_progress.SetPos(0);
    m_progress.SetWindowText(
        RecordingViewText(m_recordingTitle, m_recordingStart, m_recordingStop));
    ShowControl(m_progress, TRUE);
    RefreshList();
    UpdateRunState();
    m_lastAutoSizeTick = ::GetTickCount();
    PostMessage(ms_cnAutoSizeMsgID, 0);
    if (!problem.empty())
        UiMessageBox(m_hWnd, problem, kOpenRecordingCaption, MB_OK | MB_ICONWARNING);
    return TRUE;
}

void CHopwatchDlg::LeaveRecording() {
    if (!m_showingRecording)
        return;
    m_showingRecording = FALSE;
    m_timelineWnd.SetSource(m_timeline, m_rowSource);
    m_refresher = CHopwatchRowRefresher();
    const SRunStateControls controls = RunStateControls(FALSE);
    ShowControl(m_hostCombo, controls.comboShown);
    ShowControl(m_progress, controls.progressShown);
}

BOOL CHopwatchDlg::GetShownRow(int row, SHopwatchHost& host) const {
    if (m_showingRecording)
        return m_recordingRows.GetRow(row, host, kHopwatchNone, TRUE);
    return m_data.GetRow(row, host, kHopwatchNone, TRUE);
}

DWORD CHopwatchDlg::GetShownTargetAddress() const {
    return m_showingRecording ? m_recordingTarget : m_data.GetTargetAddress();
}

void CHopwatchDlg::FillReportTimes(SHopwatchReportInput& input) const {
    if (m_showingRecording) {
        input.progressText = m_recordingTitle;
        input.started = m_recordingStart;
        input.stopped = m_recordingStop;
        return;
    }
    input.progressText = m_progress.GetWindowText();
    input.started = m_startTime;
    input.stopped = m_stopTime;
}
