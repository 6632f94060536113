// CToolTipCtrl: a tooltip window over its TTM_* messages: one tool per control, or one that its
// owner places.
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
    // The text shown for control (the owner for the placed tool); empty when it has none.
    CString GetToolText(HWND control) const {
        wchar_t text[256] = {};
        TTTOOLINFOW tool = Tool(control);
        tool.lpszText = text;
        SendMessage(TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return text;
    }

    // ---- A tip the owner places itself (over spots of its own drawing, not controls) ----
    // Adds that tool, lines wrapped at maxWidth pixels; call once after Create.
    void AddPlacedTool(int maxWidth) {
        TTTOOLINFOW tool = Tool(m_owner);
        tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
        tool.lpszText = const_cast<LPWSTR>(L"");
        SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessage(TTM_SETMAXTIPWIDTH, 0, maxWidth);
    }
    // Shows text with the tip's top left at the screen point, or hides the tip for empty text.
    void ShowPlacedTip(const CString& text, POINT screen) {
        TTTOOLINFOW tool = Tool(m_owner);
        if (text.empty()) {
            SendMessage(TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
            return;
        }
        tool.lpszText = const_cast<LPWSTR>(text.c_str());
        SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessage(TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
        SendMessage(TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    }

private:
    TTTOOLINFOW Tool(HWND control) const {
        TTTOOLINFOW tool = {};
        // The version 2 size: accepted by every version of the common controls, also by the
        // older one that a program without a manifest gets.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_owner;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        return tool;
    }

    HWND m_owner = nullptr;
};
