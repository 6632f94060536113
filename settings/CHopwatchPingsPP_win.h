// CHopwatchPingsPP: the Pings page of the options (interval, time-out, maximum TTL, reverse DNS).
#pragma once

#include "settings/CControlColors.h"
#include "settings/CHopwatchPingsValues.h"
#include "ui/CButton.h"
#include "ui/CEdit.h"
#include "ui/CPropertyPage.h"

// Edits a copy of the ping settings (template 133). A field whose text is not accepted is
// coloured, and while any is, the page can neither be left nor applied, so neither a page
// change nor OK gets past it; no message is shown. Apply writes the values into the globals.
class CHopwatchPingsPP : public CPropertyPage {
public:
    CHopwatchPingsPP();

    const CHopwatchPingsValues& GetValues() const { return m_values; }
    // One entry per field whose text is currently refused.
    const CControlColors& GetColors() const { return m_colors; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ShowValues();
    void Validate(CEdit& edit, CHopwatchPingsValues::EField field);

    CEdit m_intervalEdit;
    CButton m_dnsCheck;
    CEdit m_maxTtlEdit;
    CEdit m_timeoutEdit;
    CControlColors m_colors;
    CHopwatchPingsValues m_values;
};
