// CHopwatchHostsPP: the Hosts page of the options, where entries of the host history are removed.
#include "settings/CHopwatchHostsPP_win.h"

#include <vector>

#include "resources/options_page_ids.h"
#include "settings/settings_globals.h"
#include "settings/token_list_controls_win.h"

CHopwatchHostsPP::CHopwatchHostsPP() : CPropertyPage(IDD_OPTIONS_HOSTS) {
    m_hosts.AddTail(g_HostHistory);
}

BOOL CHopwatchHostsPP::OnInitDialog() {
    BOOL result = CPropertyPage::OnInitDialog();
    m_hostList.Attach(GetDlgItem(IDC_HOST_LIST));
    m_removeButton.Attach(GetDlgItem(IDC_REMOVE_HOSTS));
    FillListBox(m_hosts, m_hostList);
    return result;
}

void CHopwatchHostsPP::UpdateRemoveButton() {
    BOOL any = m_hostList.GetSelCount() > 0;
    if (!any && ::GetFocus() == m_removeButton.GetSafeHwnd()) {
        // A disabled button cannot keep the focus; give it to the list rather than to nobody.
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hostList.GetSafeHwnd()), TRUE);
    }
    m_removeButton.EnableWindow(any);
}

void CHopwatchHostsPP::RemoveSelected() {
    int count = m_hostList.GetSelCount();
    if (count > 0) {
        std::vector<int> selected(static_cast<size_t>(count));
        int got = m_hostList.GetSelItems(count, selected.data());
        // From the last to the first, so that the indexes still to come stay valid.
        for (int i = got - 1; i >= 0; --i)
            m_hostList.DeleteString(selected[static_cast<size_t>(i)]);
        FromListBox(m_hosts, m_hostList);
    }
    UpdateRemoveButton();
}

BOOL CHopwatchHostsPP::OnApply() {
    BOOL result = CPropertyPage::OnApply();
    FromListBox(m_hosts, m_hostList);
    g_HostHistory.RemoveAll();
    g_HostHistory.AddTail(m_hosts);
    return result;
}

BOOL CHopwatchHostsPP::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_HOST_LIST && code == LBN_SELCHANGE) {
        UpdateRemoveButton();
        return TRUE;
    }
    if (id == IDC_REMOVE_HOSTS && code == BN_CLICKED) {
        RemoveSelected();
        return TRUE;
    }
    return CPropertyPage::OnCommand(id, code, control);
}
