// The "Hopwatch Timeline" window with real messages: figures under the mouse, zoom, pan, Home,
// End, Escape, the pixels it draws and a run that goes on while it is open.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "results/CHopwatchRecordRows.h"
#include "results/gdi_canvas_win.h"
#include "results/hopwatch_colors.h"
#include "timeline/CHopwatchTimelineWnd_win.h"
#include "timeline/timeline_feed.h"

namespace {

// An hour over four hops; hops 3 and 4 lose everything from 20:00 to 21:40.
class TimelineWindow : public ::testing::Test {
protected:
    TimelineWindow()
        : m_feed(m_model, CNTimeStamp(2026, 1, 2, 12, 0, 0)), m_window(m_model, m_rows) {
        m_rows.SetRowCount(5);
        for (int r = 0; r < 5; ++r) {
            m_rows.Host(r).ttl = static_cast<DWORD>(r);
            m_rows.Host(r).address = CTimelineFeed::Router(static_cast<DWORD>(r));
        }
        Feed(0, 3600);
    }
    void Feed(std::int64_t from, std::int64_t to) {
        m_feed.Run(from, to, 4, [](DWORD hop, std::int64_t s) {
            CTimelineFeed::SFate fate;
            fate.responder = CTimelineFeed::Router(hop);
            if (hop >= 3 && s >= 1200 && s < 1300)
                fate.fate = CTimelineFeed::kLose;
            return fate;
        });
    }
    void SetUp() override {
        ASSERT_TRUE(m_window.Open(nullptr, nullptr));
        ::MoveWindow(m_window.m_hWnd, 0, 0, 1000, 600, TRUE);
    }
    void Send(UINT msg, WPARAM w, int x, int y) {
        ::SendMessageW(m_window.m_hWnd, msg, w, MAKELPARAM(x, y));
    }
    void Key(WPARAM key) { ::SendMessageW(m_window.m_hWnd, WM_KEYDOWN, key, 0); }
    // The client x of a time of the run, and the middle of a row's lane.
    int X(double seconds) const {
        const STimelineLayout& layout = m_window.GetScreen().Layout();
        return layout.plotLeft + static_cast<int>(m_window.GetScreen().Viewport().XOf(seconds));
    }
    int Y(int row) const {
        const STimelineLayout& layout = m_window.GetScreen().Layout();
        return layout.heatTop + row * layout.laneHeight + layout.laneHeight / 2;
    }
    const CTimelineViewport& Viewport() const { return m_window.GetScreen().Viewport(); }

    CHopwatchTimeline m_model;
    CTimelineFeed m_feed;
    CHopwatchRecordRows m_rows;
    CHopwatchTimelineWnd m_window;
};

// Colours that differ by rounding only (an average of many answers is not exactly the scale).
bool Near(COLORREF a, COLORREF b) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > 2)
            return false;
    }
    return true;
}

bool EndsWith(const CString& text, const CString& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

TEST_F(TimelineWindow, IsAResizableTopLevelWindowShowingTheFiguresUnderTheMouse) {
    HWND hWnd = m_window.m_hWnd;
    wchar_t title[64] = {};
    ::GetWindowTextW(hWnd, title, 64);
    EXPECT_STREQ(title, L"Hopwatch Timeline");
    EXPECT_EQ(::GetAncestor(hWnd, GA_PARENT), ::GetDesktopWindow());
    EXPECT_NE(::GetWindowLongW(hWnd, GWL_STYLE) & WS_THICKFRAME, 0);
    EXPECT_EQ(Viewport().GetMode(), CTimelineViewport::kWholeRun);
    EXPECT_EQ(m_window.GetScreen().GetSelected(), 4); // the target's row

    Send(WM_MOUSEMOVE, 0, X(1250), Y(3));
    const CString lossy = m_window.GetStatusText();
    EXPECT_EQ(lossy.rfind(L"TTL 3 192.0.2.3 12:20:", 0), 0u)
        << std::string(lossy.begin(), lossy.end());
    EXPECT_TRUE(EndsWith(lossy, L"avg - ms"));
    EXPECT_EQ(lossy.find(L"lost 0"), CString::npos);
    EXPECT_EQ(m_window.GetTipText(), lossy);
    Send(WM_MOUSEMOVE, 0, X(1250), Y(2));
    EXPECT_TRUE(EndsWith(m_window.GetStatusText(), L"lost 0 avg 10.000 ms"));
    Send(WM_MOUSEMOVE, 0, 2, 2);
    EXPECT_EQ(m_window.GetStatusText().rfind(L"Wheel", 0), 0u); // the hint again
    EXPECT_EQ(m_window.GetTipText(), L"");
}

TEST_F(TimelineWindow, WheelAndKeysZoomAndPanHomeShowsTheRunAndEndFollowsIt) {
    const double whole = Viewport().GetSpan();
    EXPECT_NEAR(whole, 3599.04, 1e-6);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), 0, 0); // at the screen's corner: the start
    EXPECT_NEAR(Viewport().GetSpan(), whole * 0.64, 1e-6);
    EXPECT_EQ(Viewport().GetMode(), CTimelineViewport::kFixed);
    Key(VK_OEM_PLUS);
    EXPECT_NEAR(Viewport().GetSpan(), whole * 0.32, 1e-6);
    const double from = Viewport().GetFrom();
    Key(VK_RIGHT);
    EXPECT_NEAR(Viewport().GetFrom(), from + Viewport().GetSpan() / 10, 1e-6);
    // Dragging to the right brings earlier times back.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 500, Y(1));
    Send(WM_MOUSEMOVE, MK_LBUTTON, 600, Y(1));
    Send(WM_LBUTTONUP, 0, 600, Y(1));
    EXPECT_NEAR(Viewport().GetFrom(),
                from + Viewport().GetSpan() / 10 - 100 * Viewport().GetScale(), 1e-6);
    EXPECT_EQ(m_window.GetScreen().GetSelected(), 4); // a drag is not a click
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 500, Y(1));
    Send(WM_LBUTTONUP, 0, 500, Y(1));
    EXPECT_EQ(m_window.GetScreen().GetSelected(), 1);

    Key(VK_END);
    EXPECT_EQ(Viewport().GetMode(), CTimelineViewport::kFollow);
    Feed(3600, 3700); // the run goes on: the view follows at the next refresh
    m_window.Refresh(false);
    EXPECT_NEAR(Viewport().GetTo(), 3699.04, 1e-6);
    Key(VK_SUBTRACT);
    Key(VK_SUBTRACT);
    Key(VK_HOME);
    EXPECT_EQ(Viewport().GetMode(), CTimelineViewport::kWholeRun);
    EXPECT_NEAR(Viewport().GetSpan(), 3699.04, 1e-6);
    Key(VK_ESCAPE);
    EXPECT_FALSE(m_window.IsOpen());
}

TEST_F(TimelineWindow, DrawsLossMarksAndColoursIntoTheDeviceContext) {
    RECT client = {};
    ::GetClientRect(m_window.m_hWnd, &client);
    // A 32-bit bitmap, whatever the display's depth, so colours read back exactly.
    CGdiCanvas canvas(client.right, client.bottom - kTimelineStatusHeight, RGB(255, 255, 255));
    ASSERT_TRUE(canvas.IsValid());
    m_window.Render(canvas.GetDC().m_hDC, client.right, client.bottom - kTimelineStatusHeight);
    const STimelineLayout& layout = m_window.GetScreen().Layout();
    const int bottom = layout.heatTop + 4 * layout.laneHeight - 2;
    EXPECT_EQ(canvas.At(X(1250), bottom), kTimelineLossMark);
    EXPECT_TRUE(Near(canvas.At(X(600), bottom), TimeColor(0.010, 0.010)));
    EXPECT_EQ(canvas.At(X(600), layout.lossTop + 2),
              kTimelineNoData); // the target lost nothing then
}
