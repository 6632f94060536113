// CToolTipCtrl: a tooltip window over its TTM_* messages, one tool per control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/CWnd.h"

// The tooltip window is owned by the window given to Create and goes away with it.
class CToolTipCtrl : public CWnd {
public:
    // Creates the tooltip window; FALSE when it cannot be made.
    BOOL Create(HWND owner) {
        m_owner = owner;
        m_hWnd =
            ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
        return m_hWnd != nullptr;
    }
    // Shows text when the mouse rests on control (adding the control's tool the first time).
    void SetToolText(HWND control, const CString& text) {
        TTTOOLINFOW tool = Tool(control);
        tool.lpszText = const_cast<LPWSTR>(text.c_str());
        if (SendMessage(TTM_GETTOOLCOUNT) == 0)
            SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        else
            SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // The text shown for control; empty when it has none.
    CString GetToolText(HWND control) const {
        wchar_t text[256] = {};
        TTTOOLINFOW tool = Tool(control);
        tool.lpszText = text;
        SendMessage(TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return text;
    }

private:
    TTTOOLINFOW Tool(HWND control) const {
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_owner;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        return tool;
    }

    HWND m_owner = nullptr;
};
