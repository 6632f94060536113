// CListCtrl: report-style list views over their LVM_* messages, with a custom-draw hook.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/CWnd.h"

// Thin wrapper of a list view. Subclassed onto the dialog's control, it also receives its own
// NM_CUSTOMDRAW notifications, reflected by the parent CDialog, in OnCustomDraw.
class CListCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    // Index of the new item or -1.
    int InsertItem(int item, const CString& text, int image = -1) {
        LVITEMW lvi = {};
        lvi.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
        lvi.iItem = item;
        lvi.pszText = const_cast<LPWSTR>(text.c_str());
        lvi.iImage = image;
        return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lvi)));
    }
    BOOL DeleteItem(int item) { return SendMessage(LVM_DELETEITEM, item) != 0; }
    BOOL DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    BOOL SetItem(const LVITEMW& lvi) {
        return SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lvi)) != 0;
    }
    BOOL GetItem(LVITEMW& lvi) const {
        return SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lvi)) != 0;
    }
    BOOL SetItemText(int item, int sub, LPCWSTR text) {
        LVITEMW lvi = {};
        lvi.iSubItem = sub;
        lvi.pszText = const_cast<LPWSTR>(text);
        return SendMessage(LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lvi)) != 0;
    }
    // The cell's text (any length); empty when the item or column does not exist.
    CString GetItemText(int item, int sub) const {
        CString text;
        GetItemText(item, sub, text);
        return text;
    }
    // The same into text, whose buffer is reused: no allocation once it is large enough.
    void GetItemText(int item, int sub, CString& text) const {
        for (size_t size = text.capacity() > 255 ? text.capacity() + 1 : 256;; size *= 2) {
            text.resize(size - 1);
            LVITEMW lvi = {};
            lvi.iSubItem = sub;
            lvi.pszText = text.data();
            lvi.cchTextMax = static_cast<int>(size);
            int copied = static_cast<int>(
                SendMessage(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lvi)));
            if (copied < static_cast<int>(size) - 1 || size >= (1u << 20)) {
                text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
                return;
            }
        }
    }
    BOOL SetItemImage(int item, int image) {
        LVITEMW lvi = {};
        lvi.mask = LVIF_IMAGE;
        lvi.iItem = item;
        lvi.iImage = image;
        return SetItem(lvi);
    }
    // The item's image index; -1 when the item does not exist.
    int GetItemImage(int item) const {
        LVITEMW lvi = {};
        lvi.mask = LVIF_IMAGE;
        lvi.iItem = item;
        return GetItem(lvi) ? lvi.iImage : -1;
    }
    BOOL SetItemData(int item, DWORD_PTR data) {
        LVITEMW lvi = {};
        lvi.mask = LVIF_PARAM;
        lvi.iItem = item;
        lvi.lParam = static_cast<LPARAM>(data);
        return SetItem(lvi);
    }
    // The item's data; 0 when the item does not exist.
    DWORD_PTR GetItemData(int item) const {
        LVITEMW lvi = {};
        lvi.mask = LVIF_PARAM;
        lvi.iItem = item;
        return GetItem(lvi) ? static_cast<DWORD_PTR>(lvi.lParam) : 0;
    }
    UINT GetItemState(int item, UINT mask) const {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, item, mask));
    }
    BOOL SetItemState(int item, UINT state, UINT mask) {
        LVITEMW lvi = {};
        lvi.state = state;
        lvi.stateMask = mask;
        return SendMessage(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lvi)) != 0;
    }
    int GetNextItem(int item, UINT flags) const {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, item, flags));
    }
    BOOL RedrawItems(int first, int last) { return SendMessage(LVM_REDRAWITEMS, first, last) != 0; }
    BOOL EnsureVisible(int item, BOOL partialOk) {
        return SendMessage(LVM_ENSUREVISIBLE, item, partialOk) != 0;
    }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
    BOOL GetItemRect(int item, RECT* rect, int code) const {
        rect->left = code;
        return SendMessage(LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(rect)) != 0;
    }
    // Bounds of one cell (code LVIR_BOUNDS, LVIR_ICON or LVIR_LABEL).
    BOOL GetSubItemRect(int item, int sub, int code, RECT* rect) const {
        rect->top = sub;
        rect->left = code;
        return SendMessage(LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(rect)) != 0;
    }
    int SubItemHitTest(LVHITTESTINFO* info) const {
        return static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }

    // ---- Columns ----
    // Index of the new column or -1; format LVCFMT_LEFT / LVCFMT_RIGHT. A width of -1 leaves the
    // list view's default width, a subItem of -1 its default sub-item.
    int InsertColumn(int column, const CString& heading, int format, int width = -1,
                     int subItem = -1) {
        LVCOLUMNW lvc = {};
        lvc.mask = LVCF_FMT | LVCF_TEXT;
        lvc.fmt = format;
        lvc.pszText = const_cast<LPWSTR>(heading.c_str());
        if (width != -1) {
            lvc.mask |= LVCF_WIDTH;
            lvc.cx = width;
        }
        if (subItem != -1) {
            lvc.mask |= LVCF_SUBITEM;
            lvc.iSubItem = subItem;
        }
        return static_cast<int>(
            SendMessage(LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc)));
    }
    BOOL DeleteColumn(int column) { return SendMessage(LVM_DELETECOLUMN, column) != 0; }
    int GetColumnWidth(int column) const {
        return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, column));
    }
    // width may be LVSCW_AUTOSIZE or LVSCW_AUTOSIZE_USEHEADER.
    BOOL SetColumnWidth(int column, int width) {
        return SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != 0;
    }
    // Width of text in the list's font, in pixels.
    int GetStringWidth(LPCWSTR text) const {
        return static_cast<int>(
            SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
    }
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
    // Number of columns, counted by the header.
    int GetColumnCount() const {
        return static_cast<int>(::SendMessageW(GetHeaderCtrl(), HDM_GETITEMCOUNT, 0, 0));
    }

    // ---- Styles and images ----
    DWORD GetExtendedStyle() const {
        return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
    }
    // Returns the previous extended style.
    DWORD SetExtendedStyle(DWORD style) {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
    }
    // which: LVSIL_SMALL, LVSIL_NORMAL or LVSIL_STATE. Returns the previous list.
    HIMAGELIST SetImageList(HIMAGELIST list, int which) {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
    }
    HIMAGELIST GetImageList(int which) const {
        return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, which));
    }

protected:
    // NM_CUSTOMDRAW of this list view, reflected by the parent. Return TRUE with result set (the
    // CDRF_* flags) when handled; the default leaves the drawing to the list view.
    virtual BOOL OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT& result) { return FALSE; }

    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == NM_CUSTOMDRAW)
            return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam), result);
        return FALSE;
    }
};
