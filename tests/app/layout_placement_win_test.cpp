// Anchored controls, the minimum size and the stored window placement on a real top-level window.
#include <gtest/gtest.h>

#include "app/CResizableControls.h"
#include "app/window_placement.h"
#include "foundation/window_placement_text.h"
#include "settings/settings_globals.h"

namespace {

constexpr int kCombo = 1002;
constexpr int kStart = 1004;
constexpr int kList = 1005;

// One resizable top-level window with three children for the whole process (under Wine without
// a window manager, destroying a top-level window waits for the X server for a while).
HWND TestFrame() {
    static HWND frame = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HopwatchLayoutTest";
        ::RegisterClassW(&wc);
        HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"layout", WS_OVERLAPPEDWINDOW, 40, 30,
                                      420, 320, nullptr, nullptr, wc.hInstance, nullptr);
        const struct {
            int id;
            RECT r;
        } children[] = {
            {kCombo, {10, 10, 300, 30}}, {kStart, {320, 10, 390, 30}}, {kList, {10, 40, 390, 250}}};
        for (const auto& c : children)
            ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, c.r.left, c.r.top,
                              c.r.right - c.r.left, c.r.bottom - c.r.top, hWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), wc.hInstance,
                              nullptr);
        return hWnd;
    }();
    return frame;
}

RECT ChildRect(int id) {
    RECT r = {};
    HWND child = ::GetDlgItem(TestFrame(), id);
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, TestFrame(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize() {
    RECT r = {};
    ::GetClientRect(TestFrame(), &r);
    return SIZE{r.right, r.bottom};
}

class LayoutPlacementWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, TestFrame());
        // Every test starts from the same normal window and child layout.
        ::ShowWindow(TestFrame(), SW_SHOWNOACTIVATE);
        WINDOWPLACEMENT wp = {sizeof wp};
        wp.showCmd = SW_SHOWNORMAL;
        wp.rcNormalPosition = RECT{40, 30, 460, 350};
        ASSERT_TRUE(::SetWindowPlacement(TestFrame(), &wp));
        ::MoveWindow(::GetDlgItem(TestFrame(), kCombo), 10, 10, 290, 20, FALSE);
        ::MoveWindow(::GetDlgItem(TestFrame(), kStart), 320, 10, 70, 20, FALSE);
        ::MoveWindow(::GetDlgItem(TestFrame(), kList), 10, 40, 380, 210, FALSE);
        g_strMainWndPos.clear();
    }

    static bool SameRect(const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

} // namespace

TEST_F(LayoutPlacementWin, ControlsFollowTheEdgesTheirWordsName) {
    CResizableControls layout;
    layout.Prepare(TestFrame());
    ASSERT_TRUE(layout.AddControl(kCombo, 2));
    ASSERT_TRUE(layout.AddControl(kStart, 3));
    ASSERT_TRUE(layout.AddControl(kList, 10));
    EXPECT_FALSE(layout.AddControl(4711, 2)); // no such child
    const SIZE before = ClientSize();
    ASSERT_TRUE(::SetWindowPos(TestFrame(), nullptr, 0, 0, 420 + 100, 320 + 60,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    const SIZE after = ClientSize();
    const int dx = after.cx - before.cx, dy = after.cy - before.cy;
    ASSERT_EQ(100, dx);
    ASSERT_EQ(60, dy);
    ASSERT_TRUE(layout.Resize());
    EXPECT_TRUE(SameRect(RECT{10, 10, 300 + dx, 30}, ChildRect(kCombo)));
    EXPECT_TRUE(SameRect(RECT{320 + dx, 10, 390 + dx, 30}, ChildRect(kStart)));
    EXPECT_TRUE(SameRect(RECT{10, 40, 390 + dx, 250 + dy}, ChildRect(kList)));
}

TEST_F(LayoutPlacementWin, NothingIsLaidOutWhileMinimizedOrWithoutControls) {
    CResizableControls layout;
    layout.Prepare(TestFrame());
    EXPECT_FALSE(layout.Resize()); // nothing registered
    ASSERT_TRUE(layout.AddControl(kList, 10));
    ::ShowWindow(TestFrame(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(TestFrame()));
    const RECT list = ChildRect(kList);
    EXPECT_FALSE(layout.Resize());
    EXPECT_TRUE(SameRect(list, ChildRect(kList)));
    RECT dragged = {0, 0, 10, 10};
    EXPECT_FALSE(layout.LimitSizing(&dragged));
    ::ShowWindow(TestFrame(), SW_RESTORE);
}

TEST_F(LayoutPlacementWin, TheWindowCannotBeSizedBelowItsPreparedSize) {
    CResizableControls layout;
    RECT outer = {};
    ::GetWindowRect(TestFrame(), &outer);
    layout.Prepare(TestFrame());
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    // Dragging the bottom-right corner inwards: the left and top stay, the size is the minimum.
    RECT dragged = {outer.left, outer.top, outer.left + width - 50, outer.top + height - 80};
    EXPECT_TRUE(layout.LimitSizing(&dragged));
    EXPECT_TRUE(
        SameRect(RECT{outer.left, outer.top, outer.left + width, outer.top + height}, dragged));
    RECT larger = {outer.left, outer.top, outer.left + width + 5, outer.top + height + 5};
    const RECT unchanged = larger;
    EXPECT_FALSE(layout.LimitSizing(&larger));
    EXPECT_TRUE(SameRect(unchanged, larger));
}

TEST_F(LayoutPlacementWin, PlacementRoundTripsThroughTheSettingText) {
    ASSERT_TRUE(SavePlacement(TestFrame()));
    SWindowPlacementText saved = {};
    ASSERT_TRUE(ParseWindowPlacement(g_strMainWndPos.c_str(), saved)) << g_strMainWndPos;
    EXPECT_EQ(static_cast<DWORD>(SW_SHOWNORMAL), saved.showCmd);
    EXPECT_EQ(40, saved.left);
    EXPECT_EQ(30, saved.top);
    EXPECT_EQ(460, saved.right);
    EXPECT_EQ(350, saved.bottom);

    // Move it elsewhere, then bring the stored placement back.
    ASSERT_TRUE(
        ::SetWindowPos(TestFrame(), nullptr, 200, 150, 300, 250, SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(RestorePlacement(g_strMainWndPos, TestFrame()));
    RECT r = {};
    ::GetWindowRect(TestFrame(), &r);
    EXPECT_TRUE(SameRect(RECT{40, 30, 460, 350}, r));
}

TEST_F(LayoutPlacementWin, AMaximizedWindowIsStoredWithShowCommandThreeAndOpensMaximized) {
    ::ShowWindow(TestFrame(), SW_MAXIMIZE);
    ASSERT_TRUE(::IsZoomed(TestFrame()));
    ASSERT_TRUE(SavePlacement(TestFrame()));
    SWindowPlacementText saved = {};
    ASSERT_TRUE(ParseWindowPlacement(g_strMainWndPos.c_str(), saved)) << g_strMainWndPos;
    EXPECT_EQ(3u, saved.showCmd);
    // The normal rectangle survives, so un-maximizing later gives the old size back.
    EXPECT_EQ(460, saved.right);

    ::ShowWindow(TestFrame(), SW_RESTORE);
    ASSERT_FALSE(::IsZoomed(TestFrame()));
    ASSERT_TRUE(RestorePlacement(g_strMainWndPos, TestFrame()));
    EXPECT_TRUE(::IsZoomed(TestFrame()));
    ::ShowWindow(TestFrame(), SW_RESTORE);
}

TEST_F(LayoutPlacementWin, AStoredHiddenWindowIsShown) {
    ASSERT_TRUE(RestorePlacement(L"0,0,-1,-1,-1,-1,50,60,450,360", TestFrame()));
    EXPECT_TRUE(::IsWindowVisible(TestFrame()));
    RECT r = {};
    ::GetWindowRect(TestFrame(), &r);
    EXPECT_TRUE(SameRect(RECT{50, 60, 450, 360}, r));
}

TEST_F(LayoutPlacementWin, ABrokenPlacementTextLeavesTheWindowWhereItIs) {
    RECT before = {};
    ::GetWindowRect(TestFrame(), &before);
    const CString bad[] = {L"0,1,-1,-1,-1,-1,200,150,500,400",
                           L"0,1,-1,-1,-1,-1,200,150,500",      // nine numbers
                           L"0,1,-1,-1,-1,-1,200,150,500,4x0",  // letters
                           L"0,1,-1,-1,-1,-1,200,150,500,400z", // letters after ten numbers
                           L""};
    for (size_t i = 1; i < sizeof bad / sizeof bad[0]; ++i) {
        EXPECT_FALSE(RestorePlacement(bad[i], TestFrame())) << bad[i];
        RECT after = {};
        ::GetWindowRect(TestFrame(), &after);
        EXPECT_TRUE(SameRect(before, after)) << bad[i];
    }
    // The well-formed text of the same numbers is applied.
    EXPECT_TRUE(RestorePlacement(bad[0], TestFrame()));
    EXPECT_FALSE(RestorePlacement(bad[0], nullptr));
    EXPECT_FALSE(SavePlacement(nullptr));
    EXPECT_TRUE(g_strMainWndPos.empty());
}
