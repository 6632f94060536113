// CTextProgressCtrl: a progress bar that paints itself and writes its text or percentage across.
#include "results/CTextProgressCtrl_win.h"

#include "results/CTPCMemDC_win.h"

namespace {

RECT ToRect(const SPixelRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

SPixelRect ToPixelRect(const RECT& r) {
    return SPixelRect{r.left, r.top, r.right, r.bottom};
}

// Draws text over the whole client rectangle, visible only within clip.
void DrawTextClipped(CDC& dc, const CString& text, const RECT& client, const SPixelRect& clip,
                     COLORREF color, UINT format) {
    if (clip.Width() <= 0 || clip.Height() <= 0)
        return;
    int saved = dc.SaveDC();
    dc.IntersectClipRect(ToRect(clip));
    dc.SetTextColor(color);
    RECT area = client;
    dc.DrawText(text, &area, format);
    dc.RestoreDC(saved);
}

} // namespace

int CTextProgressCtrl::GetBarLength() const {
    RECT client = {};
    GetClientRect(&client);
    return IsVertical() ? client.bottom - client.top : client.right - client.left;
}

int CTextProgressCtrl::MoveTo(int position) {
    if (!IsWindow())
        return -1;
    int previous = m_state.m_position;
    if (m_state.MoveTo(position, GetBarLength()))
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return previous;
}

COLORREF CTextProgressCtrl::ChangeColor(COLORREF& field, COLORREF color) {
    Invalidate(TRUE);
    COLORREF previous = field;
    field = color;
    return previous;
}

void CTextProgressCtrl::Paint(CDC& target) {
    // An empty or inverted range shows nothing.
    if (m_state.m_lower >= m_state.m_upper)
        return;
    const COLORREF bar = m_state.m_barColor == kProgressDefaultColor
                             ? ::GetSysColor(COLOR_HIGHLIGHT)
                             : m_state.m_barColor;
    const COLORREF back = m_state.m_backColor == kProgressDefaultColor ? ::GetSysColor(COLOR_WINDOW)
                                                                       : m_state.m_backColor;
    const double fraction =
        TextProgressFraction(m_state.m_position, m_state.m_lower, m_state.m_upper);
    RECT client = {};
    GetClientRect(&client);
    const bool vertical = IsVertical();

    CTPCMemDC dc(target);
    HFONT font = GetFont();
    CSelectObject selectFont(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));

    SPixelRect filled, rest;
    TextProgressSplit(ToPixelRect(client), vertical, fraction, filled, rest);
    dc.FillSolidRect(ToRect(filled), bar);
    dc.FillSolidRect(ToRect(rest), back);

    if (m_state.m_showText && !vertical) {
        const CString text =
            m_state.m_text.empty() ? TextProgressPercentText(fraction) : m_state.m_text;
        dc.SetBkMode(TRANSPARENT);
        DrawTextClipped(dc, text, client, filled, m_state.TextColorOverFill(back),
                        m_state.m_textFormat);
        DrawTextClipped(dc, text, client, rest, m_state.TextColorOverRest(bar),
                        m_state.m_textFormat);
    }
}

LRESULT CTextProgressCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_PAINT: {
        // BeginPaint validates the window whether or not anything is drawn, so an empty range
        // raises no further paint requests.
        CPaintDC paint(m_hWnd);
        Paint(paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        CDC target(reinterpret_cast<HDC>(wParam));
        Paint(target);
        return 0;
    }
    case WM_SIZE: {
        LRESULT result = Default(msg, wParam, lParam);
        m_state.ForgetExtent();
        return result;
    }
    case WM_SETTEXT: {
        LRESULT result = Default(msg, wParam, lParam);
        if (m_state.SetText(reinterpret_cast<LPCWSTR>(lParam)))
            Invalidate(TRUE);
        return result;
    }
    case WM_GETTEXT:
        return TextProgressCopyText(m_state.m_text, reinterpret_cast<WCHAR*>(lParam),
                                    static_cast<int>(wParam));
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
        int lower = msg == PBM_SETRANGE ? LOWORD(lParam) : static_cast<int>(wParam);
        int upper = msg == PBM_SETRANGE ? HIWORD(lParam) : static_cast<int>(lParam);
        if (lower != m_state.m_lower || upper != m_state.m_upper) {
            // The picture belongs to the old range: draw it anew at the next paint.
            m_state.m_lower = lower;
            m_state.m_upper = upper;
            m_state.ForgetExtent();
            Invalidate(TRUE);
        }
        return 0;
    }
    case PBM_GETRANGE:
        if (lParam != 0) {
            PBRANGE* range = reinterpret_cast<PBRANGE*>(lParam);
            range->iLow = m_state.m_lower;
            range->iHigh = m_state.m_upper;
        }
        return wParam != 0 ? m_state.m_lower : m_state.m_upper;
    case PBM_GETPOS:
        return m_state.m_position;
    case PBM_SETPOS:
        return MoveTo(static_cast<int>(wParam));
    case PBM_STEPIT:
        return MoveTo(m_state.Offset(m_state.m_step));
    case PBM_DELTAPOS:
        return MoveTo(m_state.Offset(static_cast<int>(wParam)));
    case PBM_SETSTEP: {
        int previous = m_state.m_step;
        m_state.m_step = static_cast<int>(wParam);
        return previous;
    }
    case PBM_SETBARCOLOR:
        return ChangeColor(m_state.m_barColor, static_cast<COLORREF>(lParam));
    case PBM_SETBKCOLOR:
        return ChangeColor(m_state.m_backColor, static_cast<COLORREF>(lParam));
    case kMsgSetTextColor:
        return ChangeColor(m_state.m_textColor, static_cast<COLORREF>(lParam));
    case kMsgShowText:
        if (m_state.SetShowText(static_cast<BOOL>(wParam)))
            Invalidate(TRUE);
        return 0;
    case kMsgSetTextFormat:
        if (m_state.SetTextFormat(static_cast<UINT>(wParam)))
            Invalidate(TRUE);
        return 0;
    default:
        return CProgressCtrl::WindowProc(msg, wParam, lParam);
    }
}
