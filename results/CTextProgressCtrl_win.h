// CTextProgressCtrl: a progress bar that paints itself and writes its text or percentage across.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "results/text_progress.h"
#include "ui/CDC.h"
#include "ui/CProgressCtrl.h"

// Usage: a member of the dialog, subclassed onto the dialog's progress bar in OnInitDialog
// (m_progress.SubclassDlgItem(IDC_PROGRESS, m_hWnd)). From then on the control answers every
// progress-bar message itself (range, position, step, colours) and paints through CTPCMemDC, so
// the CProgressCtrl members and plain PBM_* messages both work on its own fields. Its window
// text (SetWindowText / WM_SETTEXT) is the text drawn across the bar; an empty text shows the
// percentage done. WM_PRINTCLIENT draws the same picture into the given DC. By default the text is
// drawn in inverse colours: in the background colour over the filled part and in the bar colour
// over the rest. User-interface thread only.
class CTextProgressCtrl : public CProgressCtrl {
public:
    // Private messages: the text colour (lParam; returns the previous one), whether any text is
    // shown (wParam) and the DrawText format of the text (wParam).
    static constexpr UINT kMsgSetTextColor = WM_USER + 100;
    static constexpr UINT kMsgShowText = WM_USER + 101;
    static constexpr UINT kMsgSetTextFormat = WM_USER + 102;

    COLORREF SetTextColor(COLORREF color) {
        return static_cast<COLORREF>(SendMessage(kMsgSetTextColor, 0, color));
    }
    void SetShowText(BOOL show) { SendMessage(kMsgShowText, show); }
    void SetTextFormat(UINT format) { SendMessage(kMsgSetTextFormat, format); }

    // What the control keeps, for reading back.
    const CTextProgressState& GetState() const { return m_state; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Draws the whole picture onto target: from WM_PAINT, and from WM_PRINTCLIENT for a caller
    // that wants the picture in its own DC.
    void Paint(CDC& target);
    // Moves the position and redraws at once when the bar moved by a whole pixel; returns the
    // previous position.
    int MoveTo(int position);
    // Length in pixels along which the bar grows: the client width, or height when vertical.
    int GetBarLength() const;
    bool IsVertical() const { return (GetStyle() & PBS_VERTICAL) != 0; }
    // A colour message: invalidates, stores the new colour and returns the previous one.
    COLORREF ChangeColor(COLORREF& field, COLORREF color);

    CTextProgressState m_state;
};
