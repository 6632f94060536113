// CHopwatchExportPP: the Export page of the options (icons in the HTML report).
#pragma once

#include "ui/CButton.h"
#include "ui/CPropertyPage.h"

// Edits a copy of ExportIcons (template 135); Apply (or OK) writes it back.
class CHopwatchExportPP : public CPropertyPage {
public:
    CHopwatchExportPP();

    BOOL GetExportIcons() const { return m_bExportIcons; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    BOOL m_bExportIcons;
    CButton m_iconsCheck;
};
