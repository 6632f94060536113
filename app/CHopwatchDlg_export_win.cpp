// CHopwatchDlg::OnExport: the Export button: the HTML report of what the list shows, in the
// browser.
#include "app/CHopwatchDlg.h"

#include "app/CHopwatchApp.h"
#include "report/CReportGdiImage_win.h"
#include "report/report_export.h"
#include "report/report_list_control_win.h"
#include "report/report_version.h"
#include "resources/resource_ids.h"
#include "settings/settings_globals.h"
#include "timeline/timeline_report.h"
#include "ui/ui_message_box.h"

void CHopwatchDlg::OnExport() {
    if (m_resultsList.GetItemCount() <= 0)
        return;
    SHopwatchReportInput input;
    // One moment for the report's "sampled" time and the file's name.
    input.now = CNTimeStamp::Now();
    SHopwatchExportResult result;
    if (!SnapshotReportListControl(m_resultsList, m_resultsList.GetRows(), input)) {
        result.status = kExportWriteFailed;
        result.error = ERROR_NOT_ENOUGH_MEMORY;
    } else {
        FillReportTimes(input);
        input.version = ReportVersionFromInfo(g_OwnVersionInfo);
        input.exportIcons = g_bExportIcons != 0 ? TRUE : FALSE;
        // The images as the program has them loaded: the large icon and bitmap 130. A failed
        // read leaves the report's icon cells empty.
        CReportGdiImage icon;
        CReportGdiImage strip;
        if (input.exportIcons) {
            if (icon.ReadIcon(g_hLargeIcon))
                input.programIcon = icon.GetImage();
            HBITMAP bitmap = ::LoadBitmapW(GetResourceInstance(), MAKEINTRESOURCEW(IDB_ROW_IMAGES));
            if (strip.ReadBitmap(bitmap))
                input.rowImages = strip.GetImage();
            if (bitmap != nullptr)
                ::DeleteObject(bitmap);
        }
        // A timeline that cannot be taken (memory) leaves the report as it is without one.
        if (g_bExportTimeline != 0)
            SnapshotTimelineReport(GetShownTimeline(),
                                   m_showingRecording
                                       ? static_cast<const CHopwatchRowSource&>(m_recordingRows)
                                       : m_rowSource,
                                   input.timeline);
        result = ExportHopwatchReport(input, TRUE);
    }
    if (result.status != kExportDone && result.status != kExportNothing)
        UiMessageBox(m_hWnd, HopwatchExportErrorText(result), kExportErrorCaption, MB_ICONERROR);
}
