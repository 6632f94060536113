// CHopwatchDlg: initialisation, the run cycle, the refresh timer and the column auto-size.
#include "app/CHopwatchDlg.h"

#include "app/CHopwatchApp.h"
#include "app/window_placement.h"
#include "foundation/blank_set.h"
#include "resources/resource_ids.h"
#include "results/history_graph.h"
#include "results/list_columns.h"
#include "results/run_state_view.h"
#include "settings/host_history.h"
#include "settings/settings_globals.h"
#include "settings/token_list_controls_win.h"
#include "ui/ui_message_box.h"

const UINT CHopwatchDlg::ms_cnAutoSizeMsgID =
    ::RegisterWindowMessageW(L"CHopwatchDlg::ms_cnAutoSizeMsgID");
const UINT CHopwatchDlg::ms_cnCmdLineMsgID =
    ::RegisterWindowMessageW(L"CHopwatchDlg::ms_cnCmdLineMsgID");

namespace {
// Double buffering, full-row selection and grid lines.
constexpr DWORD kResultsExtendedStyle = 0x00010021;
// The row images of bitmap 130 at 96 dpi: 16 x 16 pixels.
constexpr int kRowImageSize = 16;
// Room beside a header's text: the header's margins and its sort-arrow gap.
constexpr int kHeaderPadding = 16;
} // namespace

CHopwatchDlg::CHopwatchDlg(CHopwatchNetwork* network)
    : CDialog(IDD_HOPWATCH_DIALOG), m_data(network), m_rowSource(m_data),
      m_timelineWnd(m_timeline, m_rowSource), m_lastAutoSizeTick(::GetTickCount()) {
    m_recorder.AddListener(&m_timeline);
}

CHopwatchDlg::~CHopwatchDlg() {
    m_refreshTimer.Detach();
}

BOOL CHopwatchDlg::OnInitDialog() {
    // A separator and the string's text with its command; nothing when the string is empty.
    // Opening a recording comes first, so that the separator and About stay the last two.
    auto appendToSystemMenu = [this](UINT text, UINT command) {
        wchar_t entry[128] = {};
        if (::LoadStringW(GetResourceInstance(), text, entry, 128) <= 0)
            return;
        HMENU menu = GetSystemMenu(FALSE);
        if (menu != nullptr) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING, command, entry);
        }
    };
    appendToSystemMenu(IDS_OPENRECORDING, IDM_OPENRECORDING);
    appendToSystemMenu(IDS_ABOUTBOX, IDM_ABOUTBOX);
    SetIcon(g_hLargeIcon, TRUE);
    SetIcon(g_hSmallIcon, FALSE);

    // The template's size, taken before a stored placement applies, is the smallest size.
    m_layout.Prepare(m_hWnd);
    m_layout.AddControl(IDC_HOST_COMBO, 2);
    m_layout.AddControl(IDC_PROGRESS, 2);
    m_layout.AddControl(IDC_START, 3);
    m_layout.AddControl(IDC_OPTIONS, 3);
    m_layout.AddControl(IDC_EXPORT, 3);
    m_layout.AddControl(IDC_RESULTS, 10);
    m_layout.AddControl(IDC_TIMELINE, 3);

    m_hostCombo.Attach(GetDlgItem(IDC_HOST_COMBO));
    m_progress.SubclassDlgItem(IDC_PROGRESS, m_hWnd);
    m_startButton.Attach(GetDlgItem(IDC_START));
    m_optionsButton.Attach(GetDlgItem(IDC_OPTIONS));
    m_exportButton.Attach(GetDlgItem(IDC_EXPORT));
    m_timelineButton.Attach(GetDlgItem(IDC_TIMELINE));
    m_resultsList.SubclassDlgItem(IDC_RESULTS, m_hWnd);

    FillHostCombo(m_hostCombo);
    m_hostCombo.SetCurSel(0);
    UpdateStartButton();
    // Enter in the host box starts the run. Of the template's default buttons the dialog manager
    // would otherwise take the last, Export.
    SendMessage(DM_SETDEFID, IDC_START);

    // Where the run's title shows, its tooltip says how the run probes: the raw socket, or the
    // system's ICMP service when that was chosen or the raw socket was refused.
    m_tips.Create(m_hWnd);
    m_progress.SetRange32(0, kRunProgressRange);
    m_progress.SetPos(0);
    m_progress.SetTextColor(::GetSysColor(COLOR_BTNTEXT));

    SetupResultsList();
    if (!g_strMainWndPos.empty() && RestorePlacement(g_strMainWndPos, m_hWnd)) {
        // A placement stored while the text was smaller (a lower dots per inch) would squeeze
        // the controls: the window is never restored smaller than its template.
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (GetWindowPlacement(&placement) && m_layout.LimitSizing(&placement.rcNormalPosition))
            SetWindowPlacement(&placement);
    }

    m_lastAutoSizeTick = ::GetTickCount();
    PostMessage(ms_cnAutoSizeMsgID, 0);
    m_refreshTimer.Attach(m_hWnd, kRefreshPeriodMs);

    m_pendingTokens.RemoveAll();
    m_pendingTokens.ParseCommandLine(m_commandLineText.c_str());
    m_pendingTokens.RemoveEmpty();
    if (m_pendingTokens.GetCount() > 0) {
        // Values given on the command line are for this run only.
        g_bSaveSettings = FALSE;
        PostMessage(ms_cnCmdLineMsgID, 0);
    }
    return TRUE;
}

void CHopwatchDlg::SetupResultsList() {
    m_columnFits.ForgetAll();
    m_resultsList.SetExtendedStyle(m_resultsList.GetExtendedStyle() | kResultsExtendedStyle);
    m_resultsList.DeleteAllItems();
    ScaleRowImages(GetDpi());
    for (int column = m_resultsList.GetColumnCount() - 1; column >= 0; --column)
        m_resultsList.DeleteColumn(column);
    for (int column = 0; column < kHopwatchColumnCount; ++column) {
        m_resultsList.InsertColumn(column, HopwatchColumnHeader(column),
                                   HopwatchColumnRightAligned(column) ? LVCFMT_RIGHT : LVCFMT_LEFT,
                                   -1, column);
    }
}

void CHopwatchDlg::ScaleRowImages(UINT dpi) {
    // At 96 dpi the strip is used as it is; above, scaled copies keep pace with the text.
    CImageList images;
    if (!images.CreateScaled(GetResourceInstance(), IDB_ROW_IMAGES, kRowImageSize, 8, 0xFFFFFF,
                             ScaleToDpi(kRowImageSize, static_cast<int>(dpi))))
        return;
    m_resultsList.SetRowImages(images);
    m_imageList.Attach(images.Detach());
    m_resultsList.SetGraphScale(GraphScaleForDpi(static_cast<int>(dpi)));
    m_columnFits.ForgetAll(); // row images and the header's font are another size
}

BOOL CHopwatchDlg::OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DPICHANGED)
        return FALSE;
    ScaleRowImages(LOWORD(wParam));
    // The system's suggestion keeps the window's place on the monitor it moved to; the dialog
    // manager's own processing follows.
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested != nullptr) {
        SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return FALSE;
}

BOOL CHopwatchDlg::OnRegisteredMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == ms_cnAutoSizeMsgID) {
        AutoSizeColumn(static_cast<int>(wParam));
        result = 0;
        return TRUE;
    }
    if (msg == ms_cnCmdLineMsgID) {
        ProcessCommandLine();
        result = 0;
        return TRUE;
    }
    return FALSE;
}

BOOL CHopwatchDlg::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case IDC_HOST_COMBO:
        if (code == CBN_SELCHANGE) {
            // The edit part still holds the old text while the selection changes.
            int selected = m_hostCombo.GetCurSel();
            UpdateStartButton(selected >= 0 ? m_hostCombo.GetLBText(selected)
                                            : m_hostCombo.GetWindowText());
            return TRUE;
        }
        if (code == CBN_EDITCHANGE) {
            UpdateStartButton();
            return TRUE;
        }
        return FALSE;
    case IDC_START:
        if (code != BN_CLICKED)
            return FALSE;
        OnStartStop();
        return TRUE;
    case IDC_OPTIONS:
        if (code != BN_CLICKED)
            return FALSE;
        OnOptions();
        return TRUE;
    case IDC_EXPORT:
        if (code != BN_CLICKED)
            return FALSE;
        OnExport();
        return TRUE;
    case IDC_TIMELINE:
        if (code != BN_CLICKED)
            return FALSE;
        OnTimeline();
        return TRUE;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

BOOL CHopwatchDlg::OnNotify(int id, NMHDR* header, LRESULT& result) {
    if (id == IDC_RESULTS && header->code == NM_DBLCLK) {
        OnListDblClk(header);
        result = 0;
        return TRUE;
    }
    return FALSE;
}

void CHopwatchDlg::UpdateStartButton() {
    UpdateStartButton(m_hostCombo.GetWindowText());
}

void CHopwatchDlg::UpdateStartButton(const CString& hostText) {
    m_startButton.EnableWindow(HostTextStartsRun(hostText));
}

void CHopwatchDlg::FillHostCombo(CComboBox& combo) {
    // The refill disables the box for a moment, which takes the keyboard focus away from it.
    bool hadFocus = HasFocus(combo);
    FillComboBox(g_HostHistory, combo);
    if (hadFocus)
        GotoDlgCtrl(combo);
}

void CHopwatchDlg::OnStartStop() {
    if (m_data.IsRunning()) {
        EnableControl(m_startButton, FALSE);
        m_startButton.SetWindowText(kStoppingButtonText);
        m_data.RequestStop();
    } else {
        CString host = TrimBlanks(m_hostCombo.GetWindowText());
        PushHostHistory(g_HostHistory, host);
        FillHostCombo(m_hostCombo);
        m_hostCombo.SetCurSel(0);
        StartRun(host);
    }
    m_progress.SetPos(0);
    UpdateRunState();
}

void CHopwatchDlg::StartRun(const CString& host) {
    m_progress.SetWindowText(host);
    if (!StartRecordedRun(host)) {
        UiMessageBox(m_hWnd, StartFailureText(m_data.GetLastErrorCode()),
                     L"Error starting raw socket", MB_OK | MB_ICONERROR);
    } else {
        m_runStarted = TRUE;
    }
}

void CHopwatchDlg::OnTimeline() {
    m_timelineWnd.Open(g_hLargeIcon, g_hSmallIcon);
}

void CHopwatchDlg::UpdateRunState() {
    DWORD running = m_data.IsRunning() ? 1 : 0;
    if (m_runStarted) {
        m_runStarted = FALSE;
        // The run ended (say, its host did not resolve) before it was first seen running: it
        // still passes through the change to Stopped, so that its error is reported, not lost.
        if (!running && !m_lastRunning) {
            m_startTime = CNTimeStamp::Now();
            m_lastRunning = 1;
        }
    }
    if (running != m_lastRunning) {
        m_lastRunning = running;
        CNTimeStamp now = CNTimeStamp::Now();
        if (running) {
            m_startTime = now;
            m_stopTime = CNTimeStamp();
            m_tips.SetToolText(m_progress, CString(L"Probing with ") +
                                               ProbeMethodDescription(m_data.GetProbeMethod()));
        } else {
            m_stopTime = now;
        }
        SRunStateControls controls = RunStateControls(running);
        EnableControl(m_startButton, FALSE);
        EnableControl(m_hostCombo, controls.comboEnabled);
        ShowControl(m_hostCombo, controls.comboShown);
        ShowControl(m_progress, controls.progressShown);
        EnableControl(m_optionsButton, controls.optionsEnabled);
        m_startButton.SetWindowText(controls.startText);
        DWORD error = m_data.GetLastErrorCode();
        if (!running && error != 0) {
            UiMessageBox(m_hWnd, RunFailureText(m_data.GetErrorText(), error),
                         L"Error pinging target", MB_OK | MB_ICONERROR);
        }
        if (!running)
            OnRunEnded();
        m_startButton.EnableWindow(TRUE);
        ReturnParkedFocus();
        m_lastTitleVersion = 0;
    }
    if (running) {
        CString title;
        int version = m_data.GetTitle(title, m_lastTitleVersion);
        if (version != 0 && version != m_lastTitleVersion && !title.empty()) {
            m_lastTitleVersion = version;
            m_progress.SetWindowText(title);
        }
        if (m_data.IsStopRequested()) {
            m_progress.SetPos(
                StoppingProgressPosition(m_data.GetTimeoutMs(), m_data.GetPendingTimeLeft()));
        }
    }
    EnableControl(m_exportButton, m_resultsList.GetItemCount() > 0);
}

BOOL CHopwatchDlg::RefreshList() {
    if (m_showingRecording)
        return m_refresher.Refresh(m_recordingRows, m_resultsList.GetRows()) != 0;
    return m_refresher.Refresh(m_data, m_resultsList.GetRows()) != 0;
}

BOOL CHopwatchDlg::OnTimer(UINT_PTR id) {
    if (!m_refreshTimer.IsTimerEvent(id))
        return FALSE;
    UpdateRunState();
    BOOL changed = RefreshList();
    DWORD now = ::GetTickCount();
    if (changed || now - m_lastAutoSizeTick >= kAutoSizeIntervalMs) {
        m_lastAutoSizeTick = now;
        PostMessage(ms_cnAutoSizeMsgID, 0);
    }
    return TRUE;
}

void CHopwatchDlg::AutoSizeColumn(int column) {
    int count = m_resultsList.GetColumnCount();
    if (column < 0 || column >= count)
        return;
    if (!g_bReverseDNS && column == kColHostName) {
        if (m_resultsList.GetColumnWidth(column) != 0)
            m_resultsList.SetColumnWidth(column, 0);
        m_columnFits.Forget(column);
    } else {
        SColumnFitInputs inputs;
        inputs.widestText = m_resultsList.WidestText(column);
        if (column == count - 1) {
            // The list view stretches its last column over the room the others leave.
            RECT client = {};
            m_resultsList.GetClientRect(&client);
            inputs.clientWidth = client.right - client.left;
            for (int left = 0; left < column; ++left)
                inputs.left += m_resultsList.GetColumnWidth(left);
            inputs.scroll = m_resultsList.GetScrollPos(SB_HORZ);
        }
        if (inputs.widestText < 0 ||
            m_columnFits.NeedsFit(column, inputs, m_resultsList.GetColumnWidth(column))) {
            m_resultsList.SetColumnWidth(column, LVSCW_AUTOSIZE_USEHEADER);
            // Some list views size to the items alone; the header's text is never cut off.
            int header =
                m_resultsList.GetStringWidth(HopwatchColumnHeader(column)) + kHeaderPadding;
            if (m_resultsList.GetColumnWidth(column) < header)
                m_resultsList.SetColumnWidth(column, header);
            if (inputs.widestText >= 0)
                m_columnFits.Fitted(column, inputs, m_resultsList.GetColumnWidth(column));
        }
    }
    if (column + 1 < count)
        PostMessage(ms_cnAutoSizeMsgID, static_cast<WPARAM>(column + 1));
}

BOOL CHopwatchDlg::OnSize(UINT, int, int) {
    // Minimized, nothing is laid out and the columns are left alone.
    if (m_layout.Resize()) {
        m_lastAutoSizeTick = ::GetTickCount();
        PostMessage(ms_cnAutoSizeMsgID, 0);
    }
    return TRUE;
}

BOOL CHopwatchDlg::OnSizing(UINT, RECT* rect) {
    return m_layout.LimitSizing(rect);
}

BOOL CHopwatchDlg::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) == IDM_OPENRECORDING) {
        OnOpenRecording();
        return TRUE;
    }
    if ((command & 0xFFF0) != IDM_ABOUTBOX)
        return FALSE;
    OnAbout();
    return TRUE;
}

BOOL CHopwatchDlg::OnPaint() {
    if (!IsIconic())
        return FALSE;
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, g_hLargeIcon);
    ::EndPaint(m_hWnd, &paint);
    return TRUE;
}

HCURSOR CHopwatchDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(g_hLargeIcon);
}

void CHopwatchDlg::OnDestroy() {
    m_refreshTimer.Detach();
    m_timelineWnd.Close();
    m_data.Stop();
    m_recorder.Finish();
    // A minimized window's placement would bring the next run up minimized.
    if (!IsIconic())
        SavePlacement(m_hWnd);
}
