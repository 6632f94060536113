// CHopwatchHostsPP: the Hosts page of the options, where entries of the host history are removed.
#pragma once

#include "foundation/CNTokenList.h"
#include "ui/CButton.h"
#include "ui/CListBox.h"
#include "ui/CPropertyPage.h"

// Shows a copy of the host history (template 134); the selected entries can be removed. Removal
// changes only the copy; Apply (or OK) makes it the host history. Removing does not mark the page
// modified: the sheet's caller notices the changed history itself.
class CHopwatchHostsPP : public CPropertyPage {
public:
    CHopwatchHostsPP();

    const CNTokenList& GetHosts() const { return m_hosts; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void UpdateRemoveButton();
    void RemoveSelected();

    CListBox m_hostList;
    CButton m_removeButton;
    CNTokenList m_hosts;
};
