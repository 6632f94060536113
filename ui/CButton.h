// CButton: push buttons, check boxes and radio buttons over their BM_* messages.
#pragma once

#include "ui/CWnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
    // Clicks the button as a user would (the parent receives BN_CLICKED).
    void Click() { SendMessage(BM_CLICK); }
};
