// CListBox: list boxes over their LB_* messages.
#pragma once

#include "ui/CWnd.h"

class CListBox : public CWnd {
public:
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int AddString(const CString& text) {
        return static_cast<int>(
            SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int InsertString(int index, const CString& text) {
        return static_cast<int>(
            SendMessage(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int DeleteString(int index) { return static_cast<int>(SendMessage(LB_DELETESTRING, index)); }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, index)); }
    int GetSel(int index) const { return static_cast<int>(SendMessage(LB_GETSEL, index)); }
    int SetSel(int index, BOOL select = TRUE) {
        return static_cast<int>(SendMessage(LB_SETSEL, select, index));
    }
    // Selected items of a multiple-selection list box (LB_ERR for a single-selection one).
    int GetSelCount() const { return static_cast<int>(SendMessage(LB_GETSELCOUNT)); }
    // Writes up to `max` indexes of selected items, ascending; returns how many (or LB_ERR).
    int GetSelItems(int max, int* indexes) const {
        return static_cast<int>(
            SendMessage(LB_GETSELITEMS, max, reinterpret_cast<LPARAM>(indexes)));
    }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
    int SetTopIndex(int index) { return static_cast<int>(SendMessage(LB_SETTOPINDEX, index)); }
    // The item's text; empty for an index out of range.
    CString GetText(int index) const {
        int length = static_cast<int>(SendMessage(LB_GETTEXTLEN, index));
        if (length <= 0)
            return CString();
        CString text(static_cast<size_t>(length) + 1, L'\0');
        int copied =
            static_cast<int>(SendMessage(LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        return text;
    }
};
