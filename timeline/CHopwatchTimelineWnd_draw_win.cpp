// CHopwatchTimelineWnd: drawing: the screen's pixels in a DIB section, then the labels over them.
#include "timeline/CHopwatchTimelineWnd_win.h"

#include "foundation/numbers.h"
#include "ui/CDC.h"

namespace {

constexpr COLORREF kTextColor = 0x000000;
constexpr COLORREF kTickColor = 0x999999;
constexpr int kMinTickGap = 90;
constexpr int kMinLabelHeight = 11;

void Text(HDC dc, const CString& text, int left, int top, int right, int bottom, UINT format) {
    RECT rect = {left, top, right, bottom};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                format | DT_SINGLELINE | DT_NOPREFIX);
}

// What the view follows, for the corner above the labels.
CString ModeText(const CTimelineViewport& viewport) {
    CString text = viewport.GetMode() == CTimelineViewport::kWholeRun ? L"Whole run"
                   : viewport.GetMode() == CTimelineViewport::kFollow ? L"Live edge"
                                                                      : L"Fixed";
    const double scale = viewport.GetScale();
    if (scale >= 1.0)
        text += L", " + FormatDouble(scale).substr(0, FormatDouble(scale).size() - 2) + L" s/px";
    return text;
}

} // namespace

void CHopwatchTimelineWnd::OnPaint() {
    CPaintDC dc(m_hWnd);
    RECT client = {};
    GetClientRect(&client);
    Render(dc, client.right, client.bottom - kTimelineStatusHeight);
    // The status line's strip, under its control.
    RECT strip = {0, client.bottom - kTimelineStatusHeight, client.right, client.bottom};
    dc.FillSolidRect(strip, ::GetSysColor(COLOR_BTNFACE));
}

void CHopwatchTimelineWnd::Render(HDC dc, int width, int height) {
    // Exactly the picture's size: the canvas lays its rows width pixels apart.
    if (!m_picture.Fit(dc, width, height))
        return;
    ::GdiFlush(); // GDI may still be writing the bits from the last paint
    STimelineCanvas canvas{reinterpret_cast<DWORD*>(m_picture.GetBits()), width, height};
    m_screen.Draw(canvas);
    DrawTexts(m_picture.GetSafeHdc());
    ::BitBlt(dc, 0, 0, width, height, m_picture.GetSafeHdc(), 0, 0, SRCCOPY);
}

void CHopwatchTimelineWnd::DrawTexts(HDC dc) {
    CSelectObject font(dc, m_font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kTextColor);
    const STimelineLayout& layout = m_screen.Layout();
    const CTimelineViewport& viewport = m_screen.Viewport();
    if (!m_screen.RunInfo().hasRun) {
        Text(dc, L"No run yet: start one in the main window.", 0, layout.heatTop, layout.width,
             layout.heatTop + 40, DT_CENTER | DT_VCENTER);
        return;
    }
    Text(dc, ModeText(viewport), 4, layout.axisTop, layout.plotLeft - 4, layout.heatTop - 2,
         DT_LEFT | DT_BOTTOM);
    NArray<STimelineTick> ticks;
    if (TimelineAxisTicks(viewport, m_screen.RunInfo().startTime, kMinTickGap, ticks)) {
        RECT mark = {};
        for (int i = 0; i < ticks.GetSize(); ++i) {
            const int x = layout.plotLeft + ticks[i].x;
            if (x < layout.plotLeft || x >= layout.plotRight)
                continue;
            mark = {x, layout.heatTop - 3, x + 1, layout.heatTop};
            CDC(dc).FillSolidRect(mark, kTickColor);
            Text(dc, ticks[i].text, x - 45, layout.axisTop, x + 45, layout.heatTop - 3,
                 DT_CENTER | DT_BOTTOM);
        }
    }
    // Every row's label while they fit; in a crowd, every n-th.
    const int step = layout.laneHeight >= kMinLabelHeight
                         ? 1
                         : (kMinLabelHeight + layout.laneHeight - 1) / layout.laneHeight;
    for (int row = 0; row < layout.lanes; row += step) {
        const int top = layout.heatTop + row * layout.laneHeight;
        Text(dc, m_screen.RowLabel(row), 4, top - 2, layout.plotLeft - 6,
             top + layout.laneHeight + 2, DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
    }
    if (layout.bandBottom > layout.bandTop)
        Text(dc, m_screen.BandTitle(), layout.plotLeft, layout.bandTitleTop, layout.plotRight,
             layout.bandTop, DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}
