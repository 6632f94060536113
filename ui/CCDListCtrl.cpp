// CCDListCtrl: the custom-draw stages of a list view turned into calls of the virtual hooks.
#include "ui/CCDListCtrl.h"

void CCDListCtrl::RestoreFont(HDC hDC, HFONT& saved) {
    if (saved != nullptr) {
        ::SelectObject(hDC, saved);
        saved = nullptr;
    }
}

BOOL CCDListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT& result) {
    NMCUSTOMDRAW& cd = draw->nmcd;
    CDC dc(cd.hdc);
    const int item = static_cast<int>(cd.dwItemSpec);
    const int sub = draw->iSubItem;
    const UINT state = cd.uItemState;
    const LPARAM param = cd.lItemlParam;
    BOOL wantsPostPaint = FALSE;
    BOOL wantsNotify = FALSE;
    BOOL skipDefault = FALSE;

    switch (cd.dwDrawStage) {
    case CDDS_PREPAINT:
        // A new paint cycle: fonts saved by an interrupted one are no longer in the DC.
        m_hSavedItemFont = nullptr;
        m_hSavedSubItemFont = nullptr;
        wantsPostPaint = WantPostPaint();
        wantsNotify = WantItemNotify();
        if (WantPaintControl() && DoPaintControl(dc, cd.rc))
            skipDefault = TRUE;
        break;
    case CDDS_POSTPAINT:
        if (WantPostPaintNotify())
            DoPostPaint(dc, cd.rc);
        break;
    case CDDS_ITEMPREPAINT: {
        m_hSavedItemFont = nullptr;
        wantsPostPaint = WantItemPostPaint(item, state, param);
        wantsNotify = WantSubItemNotify(item, state, param);
        draw->clrText = GetItemTextColor(item, state, param);
        draw->clrTextBk = GetItemBkColor(item, state, param);
        if (HFONT font = GetItemFont(item, state, param)) {
            m_hSavedItemFont = static_cast<HFONT>(dc.SelectObject(font));
            wantsPostPaint = TRUE; // the post-paint stage puts the old font back
        }
        if (WantDrawItem(item, state, param) && DoDrawItem(dc, item, state, param))
            skipDefault = TRUE;
        break;
    }
    case CDDS_ITEMPOSTPAINT:
        RestoreFont(cd.hdc, m_hSavedItemFont);
        if (WantItemPostPaintNotify())
            DoItemPostPaint(dc, item, state, param);
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        m_hSavedSubItemFont = nullptr;
        wantsPostPaint = WantSubItemPostPaint(item, sub, state, param);
        draw->clrText = GetSubItemTextColor(item, sub, state, param);
        draw->clrTextBk = GetSubItemBkColor(item, sub, state, param);
        if (HFONT font = GetSubItemFont(item, sub, state, param)) {
            m_hSavedSubItemFont = static_cast<HFONT>(dc.SelectObject(font));
            wantsPostPaint = TRUE;
        }
        if (WantDrawSubItem(item, sub, state, param) && DoDrawSubItem(dc, item, sub, state, param))
            skipDefault = TRUE;
        break;
    }
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
        RestoreFont(cd.hdc, m_hSavedSubItemFont);
        if (WantSubItemPostPaintNotify())
            DoSubItemPostPaint(dc, item, sub, state, param);
        break;
    default:
        break;
    }

    result = (wantsPostPaint ? CDRF_NOTIFYPOSTPAINT : 0) | (wantsNotify ? CDRF_NOTIFYITEMDRAW : 0) |
             (skipDefault ? CDRF_SKIPDEFAULT : 0);
    return TRUE;
}

LRESULT CCDListCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND && WantEraseBkgnd()) {
        CDC dc(reinterpret_cast<HDC>(wParam));
        return DoEraseBkgnd(dc);
    }
    return CListCtrl::WindowProc(msg, wParam, lParam);
}
