// CCDListCtrl: a list view whose custom-draw stages go to virtual hooks with harmless defaults.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/CDC.h"
#include "ui/CListCtrl.h"

// Usage: derive, override the hooks you need, and subclass the object onto the dialog's list
// view in OnInitDialog (m_list.SubclassDlgItem(IDC_LIST, m_hWnd)). The parent CDialog reflects
// the list's NM_CUSTOMDRAW to the subclassed control (CListCtrl::OnCustomDraw), where it is turned
// into the hooks below and answered with the CDRF_* flags; the dialog's own OnNotify never sees
// it. WM_ERASEBKGND arrives through the subclass and is left to the list view unless
// WantEraseBkgnd says otherwise. "item" is the item index, "sub" the column, "state" the item
// state and "param" the item data, as the notification carries them. User-interface thread only.
class CCDListCtrl : public CListCtrl {
public:
    // The list view's "default colour" value.
    static constexpr COLORREF kDefaultColor = CLR_DEFAULT;

protected:
    virtual BOOL WantEraseBkgnd() { return FALSE; }
    virtual BOOL DoEraseBkgnd(CDC& dc) { return FALSE; }
    virtual BOOL WantPaintControl() { return FALSE; }
    virtual BOOL DoPaintControl(CDC& dc, const RECT& rect) { return FALSE; }
    virtual BOOL WantItemNotify() { return FALSE; }
    virtual BOOL WantPostPaint() { return FALSE; }
    virtual BOOL WantPostPaintNotify() { return FALSE; }
    virtual BOOL DoPostPaint(CDC& dc, const RECT& rect) { return FALSE; }
    virtual HFONT GetItemFont(int item, UINT state, LPARAM param) { return nullptr; }
    virtual COLORREF GetItemTextColor(int item, UINT state, LPARAM param) { return kDefaultColor; }
    virtual COLORREF GetItemBkColor(int item, UINT state, LPARAM param) { return kDefaultColor; }
    virtual BOOL WantDrawItem(int item, UINT state, LPARAM param) { return FALSE; }
    virtual BOOL DoDrawItem(CDC& dc, int item, UINT state, LPARAM param) { return FALSE; }
    virtual BOOL WantSubItemNotify(int item, UINT state, LPARAM param) { return FALSE; }
    virtual BOOL WantItemPostPaint(int item, UINT state, LPARAM param) { return FALSE; }
    virtual BOOL WantItemPostPaintNotify() { return FALSE; }
    virtual BOOL DoItemPostPaint(CDC& dc, int item, UINT state, LPARAM param) { return FALSE; }
    virtual HFONT GetSubItemFont(int item, int sub, UINT state, LPARAM param) { return nullptr; }
    virtual COLORREF GetSubItemTextColor(int item, int sub, UINT state, LPARAM param) {
        return kDefaultColor;
    }
    virtual COLORREF GetSubItemBkColor(int item, int sub, UINT state, LPARAM param) {
        return kDefaultColor;
    }
    virtual BOOL WantDrawSubItem(int item, int sub, UINT state, LPARAM param) { return FALSE; }
    virtual BOOL DoDrawSubItem(CDC& dc, int item, int sub, UINT state, LPARAM param) {
        return FALSE;
    }
    virtual BOOL WantSubItemPostPaint(int item, int sub, UINT state, LPARAM param) { return FALSE; }
    virtual BOOL WantSubItemPostPaintNotify() { return FALSE; }
    virtual BOOL DoSubItemPostPaint(CDC& dc, int item, int sub, UINT state, LPARAM param) {
        return FALSE;
    }

    // The dispatch of the stages; always handled.
    BOOL OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT& result) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Restores a font saved by a pre-paint stage and forgets it.
    static void RestoreFont(HDC hDC, HFONT& saved);

    HFONT m_hSavedItemFont = nullptr;
    HFONT m_hSavedSubItemFont = nullptr;
};
