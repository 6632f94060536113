// CHopwatchExportPP: the Export page of the options (icons and the timeline in the HTML report).
#include "settings/CHopwatchExportPP_win.h"

#include "resources/options_page_ids.h"
#include "settings/settings_globals.h"

CHopwatchExportPP::CHopwatchExportPP()
    : CPropertyPage(IDD_OPTIONS_EXPORT), m_bExportIcons(g_bExportIcons),
      m_bExportTimeline(g_bExportTimeline) {}

BOOL CHopwatchExportPP::OnInitDialog() {
    BOOL result = CPropertyPage::OnInitDialog();
    m_iconsCheck.Attach(GetDlgItem(IDC_EXPORT_ICONS));
    m_iconsCheck.SetCheck(m_bExportIcons ? BST_CHECKED : BST_UNCHECKED);
    m_timelineCheck.Attach(GetDlgItem(IDC_EXPORT_TIMELINE));
    m_timelineCheck.SetCheck(m_bExportTimeline ? BST_CHECKED : BST_UNCHECKED);
    return result;
}

BOOL CHopwatchExportPP::OnApply() {
    BOOL result = CPropertyPage::OnApply();
    g_bExportIcons = m_bExportIcons;
    g_bExportTimeline = m_bExportTimeline;
    return result;
}

BOOL CHopwatchExportPP::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_EXPORT_ICONS && code == BN_CLICKED) {
        if (m_iconsCheck.IsWindowEnabled()) {
            m_bExportIcons = m_iconsCheck.GetCheck() == BST_CHECKED;
            SetModified(TRUE);
        }
        return TRUE;
    }
    if (id == IDC_EXPORT_TIMELINE && code == BN_CLICKED) {
        if (m_timelineCheck.IsWindowEnabled()) {
            m_bExportTimeline = m_timelineCheck.GetCheck() == BST_CHECKED;
            SetModified(TRUE);
        }
        return TRUE;
    }
    return CPropertyPage::OnCommand(id, code, control);
}
