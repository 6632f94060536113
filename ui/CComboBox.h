// CComboBox: combo boxes over their CB_* messages.
#pragma once

#include "ui/CWnd.h"

class CComboBox : public CWnd {
public:
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    // Index of the new item, CB_ERR or CB_ERRSPACE.
    int AddString(const CString& text) {
        return static_cast<int>(
            SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int InsertString(int index, const CString& text) {
        return static_cast<int>(
            SendMessage(CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int DeleteString(int index) { return static_cast<int>(SendMessage(CB_DELETESTRING, index)); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
    // The item's text; empty for an index out of range.
    CString GetLBText(int index) const {
        int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, index));
        if (length <= 0)
            return CString();
        CString text(static_cast<size_t>(length) + 1, L'\0');
        int copied = static_cast<int>(
            SendMessage(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data())));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        return text;
    }
    // Index of the item equal to text without regard to case, searching after `after`; CB_ERR.
    int FindStringExact(int after, const CString& text) const {
        return static_cast<int>(
            SendMessage(CB_FINDSTRINGEXACT, after, reinterpret_cast<LPARAM>(text.c_str())));
    }
    BOOL SetEditSel(int start, int end) {
        return SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(start, end)) == TRUE;
    }
    void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show); }
    BOOL GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }
    // The edit control inside a drop-down combo box (nullptr for a drop-down list).
    HWND GetEditWindow() const {
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        return ::GetComboBoxInfo(m_hWnd, &info) ? info.hwndItem : nullptr;
    }
};
