// CResizableControls: keeps a dialog's controls anchored to its edges and its size at least
// initial.
#pragma once

#include <windows.h>

#include "foundation/CNAnchorLayout.h"

// Usage: a member of the dialog. In OnInitDialog, before a stored placement is applied, call
// Prepare(m_hWnd) (the template size becomes the minimum) and AddControl(id, word) for each
// control, e.g. 2 to widen with the window, 3 to move with the right side, 10 to widen and grow,
// 15 to move with the bottom-right corner (see CNAnchorLayout.h for the word). Call Resize()
// from OnSize and LimitSizing(rect) from OnSizing, returning TRUE there when it changed the
// rectangle. User-interface thread only.
class CResizableControls {
public:
    CResizableControls() = default;
    ~CResizableControls() { m_layout.RemoveAll(); }
    CResizableControls(const CResizableControls&) = delete;
    CResizableControls& operator=(const CResizableControls&) = delete;

    // Forgets every control and takes the parent's current outer size as the minimum.
    void Prepare(HWND parent);
    // Registers the parent's child control id with its anchoring word. FALSE when there is no
    // parent or no such child, or no memory was left.
    BOOL AddControl(UINT id, DWORD flags);
    // Lays the controls out for the parent's client size. FALSE, doing nothing, when there is no
    // parent window, it is minimized or no control is registered.
    BOOL Resize();
    // Keeps a rectangle being dragged at least the initial size (left and top stay). TRUE when
    // it changed it; FALSE while minimized or without an initial size.
    BOOL LimitSizing(RECT* dragged) const;

    const CNAnchorLayout& GetLayout() const { return m_layout; }

private:
    HWND m_parent = nullptr;
    CNAnchorLayout m_layout;
};
