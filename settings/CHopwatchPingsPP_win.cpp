// CHopwatchPingsPP: the Pings page of the options (interval, time-out, maximum TTL, reverse DNS).
#include "settings/CHopwatchPingsPP_win.h"

#include "foundation/numbers.h"
#include "resources/options_page_ids.h"
#include "settings/control_colors_win.h"
#include "settings/options_rules.h"

CHopwatchPingsPP::CHopwatchPingsPP() : CPropertyPage(IDD_OPTIONS_PINGS) {}

BOOL CHopwatchPingsPP::OnInitDialog() {
    BOOL result = CPropertyPage::OnInitDialog();
    m_intervalEdit.Attach(GetDlgItem(IDC_PING_INTERVAL));
    m_dnsCheck.Attach(GetDlgItem(IDC_REVERSE_DNS));
    m_maxTtlEdit.Attach(GetDlgItem(IDC_MAX_TTL));
    m_timeoutEdit.Attach(GetDlgItem(IDC_PING_TIMEOUT));
    m_colors.SetOwner(m_hWnd);
    ShowValues();
    // A value out of range that came from the registry is marked at once.
    Validate(m_intervalEdit, CHopwatchPingsValues::kInterval);
    Validate(m_maxTtlEdit, CHopwatchPingsValues::kMaxTtl);
    Validate(m_timeoutEdit, CHopwatchPingsValues::kTimeout);
    return result;
}

void CHopwatchPingsPP::ShowValues() {
    // Each text change validates its field again (EN_CHANGE); the values held are accepted ones
    // or come unchanged from the settings, so this marks only what is really out of range.
    m_intervalEdit.SetWindowText(FormatUnsigned(m_values.GetValue(m_values.kInterval), 10));
    m_maxTtlEdit.SetWindowText(FormatUnsigned(m_values.GetValue(m_values.kMaxTtl), 10));
    m_timeoutEdit.SetWindowText(FormatUnsigned(m_values.GetValue(m_values.kTimeout), 10));
    m_dnsCheck.SetCheck(m_values.GetReverseDns() ? BST_CHECKED : BST_UNCHECKED);
}

void CHopwatchPingsPP::Validate(CEdit& edit, CHopwatchPingsValues::EField field) {
    if (edit.GetSafeHwnd() == nullptr || !edit.IsWindowEnabled())
        return;
    DWORD id = static_cast<DWORD>(edit.GetDlgCtrlID());
    CHopwatchPingsValues::EResult taken = m_values.TakeText(field, edit.GetWindowText().c_str());
    if (taken == CHopwatchPingsValues::kRefused) {
        m_colors.SetColors(id, kInvalidFieldTextColor, kInvalidFieldBkColor);
        return;
    }
    if (taken == CHopwatchPingsValues::kChanged)
        SetModified(TRUE);
    m_colors.SetColors(id, CControlColors::kDefaultColor, CControlColors::kDefaultColor);
}

BOOL CHopwatchPingsPP::OnSetActive() {
    BOOL result = CPropertyPage::OnSetActive();
    if (m_intervalEdit.GetSafeHwnd() != nullptr)
        ShowValues();
    return result;
}

BOOL CHopwatchPingsPP::OnKillActive() {
    if (!CPropertyPage::OnKillActive())
        return FALSE;
    return m_colors.GetCount() == 0;
}

BOOL CHopwatchPingsPP::OnApply() {
    if (!CPropertyPage::OnApply() || m_colors.GetCount() != 0)
        return FALSE;
    m_values.Apply();
    return TRUE;
}

BOOL CHopwatchPingsPP::OnCommand(WORD id, WORD code, HWND control) {
    if (code == EN_CHANGE) {
        if (id == IDC_PING_INTERVAL)
            Validate(m_intervalEdit, CHopwatchPingsValues::kInterval);
        else if (id == IDC_MAX_TTL)
            Validate(m_maxTtlEdit, CHopwatchPingsValues::kMaxTtl);
        else if (id == IDC_PING_TIMEOUT)
            Validate(m_timeoutEdit, CHopwatchPingsValues::kTimeout);
        else
            return FALSE;
        return TRUE;
    }
    if (code == BN_CLICKED && id == IDC_REVERSE_DNS) {
        if (m_dnsCheck.IsWindowEnabled() &&
            m_values.TakeReverseDns(m_dnsCheck.GetCheck() == BST_CHECKED))
            SetModified(TRUE);
        return TRUE;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

BOOL CHopwatchPingsPP::OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC)
        return FALSE;
    HBRUSH brush = AnswerControlColor(m_colors, reinterpret_cast<HWND>(lParam),
                                      reinterpret_cast<HDC>(wParam), nullptr);
    if (brush == nullptr)
        return FALSE; // the dialog manager's own colours
    result = reinterpret_cast<LRESULT>(brush);
    return TRUE;
}
