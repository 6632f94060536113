// CProgressCtrl: progress bars over their PBM_* messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/CWnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper) { SendMessage(PBM_SETRANGE32, lower, upper); }
    void GetRange(int& lower, int& upper) const {
        PBRANGE range = {};
        SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        lower = range.iLow;
        upper = range.iHigh;
    }
    // Each returns the previous position.
    int SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, pos)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    int OffsetPos(int delta) { return static_cast<int>(SendMessage(PBM_DELTAPOS, delta)); }
    int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
    // Returns the previous step.
    int SetStep(int step) { return static_cast<int>(SendMessage(PBM_SETSTEP, step)); }
    // Each returns the previous colour.
    COLORREF SetBarColor(COLORREF color) {
        return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, color));
    }
    COLORREF SetBkColor(COLORREF color) {
        return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, color));
    }
};
