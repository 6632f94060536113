// CHopwatchExportPP: the Export page of the options (icons and the timeline in the HTML report).
#pragma once

#include "ui/CButton.h"
#include "ui/CPropertyPage.h"

// Edits copies of ExportIcons and ExportTimeline (template 135); Apply (or OK) writes them back.
class CHopwatchExportPP : public CPropertyPage {
public:
    CHopwatchExportPP();

    BOOL GetExportIcons() const { return m_bExportIcons; }
    BOOL GetExportTimeline() const { return m_bExportTimeline; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    BOOL m_bExportIcons;
    CButton m_iconsCheck;
    BOOL m_bExportTimeline;
    CButton m_timelineCheck;
};
