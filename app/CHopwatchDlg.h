// CHopwatchDlg: the main window: host entry, Start/Stop, Options, Export, Timeline and the results
// list.
#pragma once

#include <windows.h>

#include "app/CResizableControls.h"
#include "app/CTimerForWnd.h"
#include "engine/CHopwatchData.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/CNTokenList.h"
#include "recording/CHopwatchRecorder.h"
#include "results/CHopwatchRecordRows.h"
#include "results/CHopwatchDataRowSource.h"
#include "results/CHopwatchListCtrl_win.h"
#include "results/CHopwatchRowRefresher.h"
#include "report/report_input.h"
#include "results/CTextProgressCtrl_win.h"
#include "results/column_fits.h"
#include "timeline/CHopwatchTimeline.h"
#include "timeline/CHopwatchTimelineWnd_win.h"
#include "ui/CButton.h"
#include "ui/CComboBox.h"
#include "ui/CDialog.h"
#include "ui/CImageList.h"
#include "ui/CToolTipCtrl.h"

// The program's only main window, from dialog template 102. It owns the probe data model, drives
// it (Start, RequestStop, Stop) and, on a 125 ms timer, brings the controls and the results list
// in line with what the workers have gathered. The dialog never waits for a worker except inside
// Stop. Created modal by the application; tests create it modeless over a scripted network.
// User-interface thread only.
class CHopwatchDlg : public CDialog {
public:
    // network: the wire and clock of the data model, not owned, must outlive the dialog;
    // nullptr = the system's raw socket.
    explicit CHopwatchDlg(CHopwatchNetwork* network = nullptr);
    ~CHopwatchDlg() override;

    // Registered at program start: "CHopwatchDlg::ms_cnAutoSizeMsgID" and
    // "CHopwatchDlg::ms_cnCmdLineMsgID". The dialog posts both only to itself.
    static const UINT ms_cnAutoSizeMsgID;
    static const UINT ms_cnCmdLineMsgID;
    // The refresh timer's period.
    static constexpr UINT kRefreshPeriodMs = 125;
    // Column widths are re-fitted after a change, or at the latest after this long.
    static constexpr DWORD kAutoSizeIntervalMs = 10000;

    // The command line without the program name; read by OnInitDialog.
    void SetCommandLineText(const CString& text) { m_commandLineText = text; }

    // Start when stopped, Stop when running (also used by the command line's automatic start).
    void OnStartStop();
    // Brings the controls in line with the workers' liveness, the title and the stopping bar.
    void UpdateRunState();
    // Brings the results list up to date; TRUE when rows were inserted or deleted or the row
    // table changed (the column widths are then re-fitted).
    BOOL RefreshList();
    // Enables Start exactly when the host text is not blank.
    void UpdateStartButton();
    // Refills combo from the host history, newest first.
    void FillHostCombo(CComboBox& combo);
    // Fits one column and posts the message for the next. A fit that could only give the
    // column's present width again (its widest text and, for the last column, the room left of
    // it are as at its last fit) is skipped: measuring each cell through the list view and
    // setting an unchanged width cost far more than the refresh itself on some platforms.
    void AutoSizeColumn(int column);

    // Shows the recording at path read-only, as its run's list was at the recording's end, with
    // its title and times, until the next Start; a problem reading it is said in a box. FALSE
    // when nothing could be shown (or a run is going on).
    BOOL OpenRecording(const CString& path);
    BOOL IsShowingRecording() const { return m_showingRecording; }

    CHopwatchData& GetData() { return m_data; }
    CHopwatchRecorder& GetRecorder() { return m_recorder; }
    const CNTimeStamp& GetStartTime() const { return m_startTime; }
    const CNTimeStamp& GetStopTime() const { return m_stopTime; }
    CHopwatchListView& GetListView() { return m_resultsList.GetRows(); }
    int GetGraphScale() const { return m_resultsList.GetGraphScale(); }
    // The tooltip of the bar that shows a run's title: how that run probes.
    CString GetProbeMethodTip() const { return m_tips.GetToolText(m_progress); }
    // The timeline of the run, and the one shown: a recording's while one is opened.
    const CHopwatchTimeline& GetTimeline() const { return m_timeline; }
    const CHopwatchTimeline& GetShownTimeline() const {
        return m_showingRecording ? m_recordingTimeline : m_timeline;
    }
    CHopwatchTimelineWnd& GetTimelineWindow() { return m_timelineWnd; }
    // The id of the refresh timer's WM_TIMER events (0 while it is not running).
    UINT_PTR GetRefreshTimerId() const {
        return m_refreshTimer.IsAttached() ? m_refreshTimer.GetTimerId() : 0;
    }

protected:
    BOOL OnInitDialog() override;
    BOOL OnRegisteredMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(int id, NMHDR* header, LRESULT& result) override;
    BOOL OnTimer(UINT_PTR id) override;
    BOOL OnSize(UINT type, int width, int height) override;
    BOOL OnSizing(UINT edge, RECT* rect) override;
    BOOL OnSysCommand(UINT command, LPARAM lParam) override;
    BOOL OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    void OnDestroy() override;
    // WM_DPICHANGED: the row images and the graph follow the new dots per inch.
    BOOL OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Enter with Start disabled reaches the hidden OK button; it must not close the window.
    void OnOK() override {}

    // Handlers of their own files.
    void ProcessCommandLine();        // CHopwatchDlg_cmdline_win.cpp
    void OnExport();                  // CHopwatchDlg_export_win.cpp
    void OnOptions();                 // CHopwatchDlg_options_win.cpp
    void OnListDblClk(NMHDR* header); // CHopwatchDlg_hostentry_win.cpp
    void OnAbout();                   // CHopwatchDlg_about_win.cpp
    // CHopwatchDlg_recording_win.cpp: runs recorded as they go, recordings opened again.
    BOOL StartRecordedRun(const CString& host); // the engine's Start, recorded
    void OnRunEnded();
    void OnOpenRecording();
    void LeaveRecording();
    BOOL GetShownRow(int row, SHopwatchHost& host) const;
    DWORD GetShownTargetAddress() const;
    void FillReportTimes(SHopwatchReportInput& input) const;
    // Opens the "Hopwatch Timeline" window over the run's timeline.
    void OnTimeline();

private:
    void SetupResultsList();
    // Makes the row images (bitmap 130) and the history graph fit text at dpi.
    void ScaleRowImages(UINT dpi);
    void UpdateStartButton(const CString& hostText);
    // Puts host on the bar and starts the engine on it, the timeline fed from it; a failure is
    // shown in the start error box. Used by Start, the command line and the double-click
    // restart.
    void StartRun(const CString& host);

    // Keyboard focus (CHopwatchDlg_focus_win.cpp). Disabling or hiding the control that has the
    // focus would leave it nowhere, and Escape, Enter and Tab would reach nothing: these move it
    // first, as the dialog's own navigation would, to Start/Stop while that is enabled, else to
    // the results list, and back to Start/Stop once that is enabled again.
    void EnableControl(CWnd& control, BOOL enable);
    void ShowControl(CWnd& control, BOOL show);
    void MoveFocusFrom(const CWnd& control);
    void ReturnParkedFocus();
    // On reactivation, after the dialog manager's own: a control disabled or hidden while the
    // window was inactive gives the focus up by the same rule.
    void SettleFocusOnActivation();
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The focus is on control or inside it (the host box's edit).
    bool HasFocus(const CWnd& control) const;

    CResizableControls m_layout;
    CTimerForWnd m_refreshTimer;
    CComboBox m_hostCombo;
    CTextProgressCtrl m_progress;
    CButton m_startButton;
    CButton m_optionsButton;
    CButton m_exportButton;
    CButton m_timelineButton;
    CHopwatchListCtrl m_resultsList;
    CImageList m_imageList; // the list view shares it (LVS_SHAREIMAGELISTS): one owner
    CToolTipCtrl m_tips;
    CString m_commandLineText;
    CNTokenList m_pendingTokens;
    DWORD m_lastRunning = 0;
    BOOL m_runStarted = FALSE;  // Start succeeded; not yet looked at by UpdateRunState
    BOOL m_focusParked = FALSE; // the focus waits on the list until Start/Stop is enabled again
    CHopwatchData m_data;
    CHopwatchDataRowSource m_rowSource;
    // Fed by the recorder's thread during a run, by the reader of a recording opened again; it
    // outlives the recorder (declared below).
    CHopwatchTimeline m_timeline;
    CHopwatchTimelineWnd m_timelineWnd;
    DWORD m_lastAutoSizeTick;
    int m_lastTitleVersion = 0;
    CHopwatchRowRefresher m_refresher;
    CColumnFits m_columnFits;
    CNTimeStamp m_startTime;
    CNTimeStamp m_stopTime;
    // After m_data, so that it ends first.
    CHopwatchRecorder m_recorder{m_data};
    // The recording shown instead of the run, while m_showingRecording.
    BOOL m_showingRecording = FALSE;
    CHopwatchRecordRows m_recordingRows;
    CHopwatchTimeline m_recordingTimeline;
    CString m_recordingTitle;
    CNTimeStamp m_recordingStart;
    CNTimeStamp m_recordingStop;
    DWORD m_recordingTarget = kHopwatchNone; // host byte order
};
