// The custom-draw dispatch of CCDListCtrl: stage answers, hook calls and saved fonts.
#include <gtest/gtest.h>

#include <vector>

#include "results/gdi_canvas_win.h"
#include "ui/CCDListCtrl.h"

namespace {

// Hooks that answer as told and record what was asked.
class CProbeList : public CCDListCtrl {
public:
    BOOL Dispatch(NMLVCUSTOMDRAW& draw, LRESULT& result) { return OnCustomDraw(&draw, result); }

    bool m_wantItems = false;
    bool m_wantSubItems = false;
    bool m_wantSubPostPaint = false;
    bool m_drawSubItem = false;
    HFONT m_subFont = nullptr;
    std::vector<int> m_postPaintedSubs;

protected:
    BOOL WantItemNotify() override { return m_wantItems; }
    BOOL WantSubItemNotify(int, UINT, LPARAM) override { return m_wantSubItems; }
    COLORREF GetSubItemBkColor(int item, int sub, UINT, LPARAM param) override {
        return static_cast<COLORREF>(item * 0x100 + sub + param);
    }
    HFONT GetSubItemFont(int, int, UINT, LPARAM) override { return m_subFont; }
    BOOL WantSubItemPostPaint(int, int, UINT, LPARAM) override { return m_wantSubPostPaint; }
    BOOL WantSubItemPostPaintNotify() override { return TRUE; }
    BOOL DoSubItemPostPaint(CDC& dc, int item, int sub, UINT, LPARAM) override {
        m_postPaintedSubs.push_back(sub);
        return TRUE;
    }
    BOOL WantDrawSubItem(int, int, UINT, LPARAM) override { return m_drawSubItem; }
    BOOL DoDrawSubItem(CDC&, int, int, UINT, LPARAM) override { return TRUE; }
};

NMLVCUSTOMDRAW Stage(DWORD stage, HDC hdc, int item = 0, int sub = 0, LPARAM param = 0) {
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.hdc = hdc;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(item);
    draw.nmcd.lItemlParam = param;
    draw.iSubItem = sub;
    return draw;
}

} // namespace

TEST(CustomDrawWin, TheDefaultsLeaveEverythingToTheListView) {
    CGdiCanvas canvas(8, 8, 0);
    CProbeList list;
    LRESULT result = -1;
    NMLVCUSTOMDRAW draw = Stage(CDDS_PREPAINT, canvas.GetDC());
    ASSERT_TRUE(list.Dispatch(draw, result));
    EXPECT_EQ(CDRF_DODEFAULT, result);
    draw = Stage(CDDS_ITEMPREPAINT, canvas.GetDC(), 3);
    ASSERT_TRUE(list.Dispatch(draw, result));
    EXPECT_EQ(CDRF_DODEFAULT, result);
    EXPECT_EQ(CLR_DEFAULT, draw.clrText);
    EXPECT_EQ(CLR_DEFAULT, draw.clrTextBk);
}

TEST(CustomDrawWin, StagesAskForTheNotificationsTheHooksWant) {
    CGdiCanvas canvas(8, 8, 0);
    CProbeList list;
    list.m_wantItems = true;
    list.m_wantSubItems = true;
    LRESULT result = 0;
    NMLVCUSTOMDRAW draw = Stage(CDDS_PREPAINT, canvas.GetDC());
    list.Dispatch(draw, result);
    EXPECT_EQ(CDRF_NOTIFYITEMDRAW, result);
    draw = Stage(CDDS_ITEMPREPAINT, canvas.GetDC(), 2);
    list.Dispatch(draw, result);
    EXPECT_EQ(CDRF_NOTIFYSUBITEMDRAW, result);

    // A sub-item gets its colours from the hooks, with item, column and item data.
    list.m_wantSubPostPaint = true;
    draw = Stage(CDDS_ITEMPREPAINT | CDDS_SUBITEM, canvas.GetDC(), 2, 7, 0x10000);
    list.Dispatch(draw, result);
    EXPECT_EQ(CDRF_NOTIFYPOSTPAINT, result);
    EXPECT_EQ(0x10207u, draw.clrTextBk);
    EXPECT_EQ(CLR_DEFAULT, draw.clrText);
    draw = Stage(CDDS_ITEMPOSTPAINT | CDDS_SUBITEM, canvas.GetDC(), 2, 7);
    list.Dispatch(draw, result);
    ASSERT_EQ(1u, list.m_postPaintedSubs.size());
    EXPECT_EQ(7, list.m_postPaintedSubs[0]);

    list.m_drawSubItem = true;
    list.m_wantSubPostPaint = false;
    draw = Stage(CDDS_ITEMPREPAINT | CDDS_SUBITEM, canvas.GetDC(), 2, 1);
    list.Dispatch(draw, result);
    EXPECT_EQ(CDRF_SKIPDEFAULT, result);
}

TEST(CustomDrawWin, ASubItemFontIsSelectedForItsCellAndPutBackAfterwards) {
    CGdiCanvas canvas(8, 8, 0);
    HDC hdc = canvas.GetDC();
    HGDIOBJ original = ::GetCurrentObject(hdc, OBJ_FONT);
    HFONT bold =
        ::CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    ASSERT_NE(nullptr, bold);
    CProbeList list;
    list.m_subFont = bold;
    LRESULT result = 0;
    NMLVCUSTOMDRAW draw = Stage(CDDS_ITEMPREPAINT | CDDS_SUBITEM, hdc, 0, 4);
    list.Dispatch(draw, result);
    // The font forces a post-paint so that it can be taken out again.
    EXPECT_EQ(CDRF_NOTIFYPOSTPAINT, result);
    EXPECT_EQ(bold, ::GetCurrentObject(hdc, OBJ_FONT));
    draw = Stage(CDDS_ITEMPOSTPAINT | CDDS_SUBITEM, hdc, 0, 4);
    list.Dispatch(draw, result);
    EXPECT_EQ(original, ::GetCurrentObject(hdc, OBJ_FONT));
    // A second post-paint has nothing to restore.
    ::SelectObject(hdc, bold);
    list.Dispatch(draw, result);
    EXPECT_EQ(bold, ::GetCurrentObject(hdc, OBJ_FONT));
    ::SelectObject(hdc, original);
    ::DeleteObject(bold);
}
