// Benchmark under Wine: drawing the "Hopwatch Timeline" window of a simulated 24-hour run over 30
// hops through GDI, text included: the window's paint and its render into a bitmap, in ms.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "bench/timeline_day.h"
#include "tests/results/gdi_canvas_win.h"
#include "timeline/CHopwatchTimelineWnd_win.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// The window painted `times` over, as WM_PAINT paints it; the mean milliseconds.
double Paint(CHopwatchTimelineWnd& window, int times) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < times; ++i) {
        window.Refresh(true);
        ::RedrawWindow(window.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    return Ms(start) / times;
}

} // namespace

int wmain() {
    CHopwatchTimeline model;
    const Clock::time_point build = Clock::now();
    SimulateTimelineDay(model);
    const double buildMs = Ms(build);
    CHopwatchRecordRows rows;
    FillTimelineDayRows(rows);
    CHopwatchTimelineWnd window(model, rows);
    if (!window.Open(nullptr, nullptr)) {
        std::fprintf(stderr, "the window did not open\n");
        return 1;
    }
    ::SetWindowPos(window.m_hWnd, nullptr, 0, 0, 1200, 800, SWP_NOZORDER);
    Paint(window, 2); // the bitmap and the fonts are made once

    double render = 0.0;
    {
        CGdiCanvas canvas(1200, 800, RGB(255, 255, 255));
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < 20; ++i) {
            window.Refresh(true);
            window.Render(canvas.GetDC().m_hDC, 1200, 800);
        }
        render = Ms(start) / 20;
    }

    const double whole = Paint(window, 20);
    ::SendMessageW(window.m_hWnd, WM_KEYDOWN, VK_OEM_PLUS, 0);
    ::SendMessageW(window.m_hWnd, WM_KEYDOWN, VK_END, 0);
    const double zoomed = Paint(window, 20);
    std::printf("timeline window of a 24-hour run over %d hops, %d rows, 1200 x 800 (Wine):\n",
                kTimelineDayHops, rows.GetRowCount());
    std::printf("  built in %.1f ms; a paint of the whole run %.2f ms, of half the run at the live "
                "edge %.2f ms; a render into a bitmap %.2f ms (target: under 50 ms)\n",
                buildMs, whole, zoomed, render);
    window.Close();
    return 0;
}
