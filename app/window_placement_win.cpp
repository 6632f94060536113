// Storing and restoring the main window's position, size and state as the MainWndPos text.
#include "app/window_placement.h"

#include "foundation/window_placement_text.h"
#include "settings/settings_globals.h"

BOOL SavePlacement(HWND hWnd) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (hWnd == nullptr || !::IsWindow(hWnd) || !::GetWindowPlacement(hWnd, &wp))
        return FALSE;
    SWindowPlacementText text;
    text.flags = wp.flags;
    text.showCmd = wp.showCmd;
    text.minX = wp.ptMinPosition.x;
    text.minY = wp.ptMinPosition.y;
    text.maxX = wp.ptMaxPosition.x;
    text.maxY = wp.ptMaxPosition.y;
    text.left = wp.rcNormalPosition.left;
    text.top = wp.rcNormalPosition.top;
    text.right = wp.rcNormalPosition.right;
    text.bottom = wp.rcNormalPosition.bottom;
    g_strMainWndPos = FormatWindowPlacement(text);
    return TRUE;
}

BOOL RestorePlacement(const CString& text, HWND hWnd) {
    SWindowPlacementText parsed;
    if (hWnd == nullptr || !::IsWindow(hWnd) || !ParseWindowPlacement(text.c_str(), parsed))
        return FALSE;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    wp.flags = parsed.flags;
    wp.showCmd = RestorableShowCommand(parsed.showCmd);
    wp.ptMinPosition = POINT{parsed.minX, parsed.minY};
    wp.ptMaxPosition = POINT{parsed.maxX, parsed.maxY};
    wp.rcNormalPosition = RECT{parsed.left, parsed.top, parsed.right, parsed.bottom};
    return ::SetWindowPlacement(hWnd, &wp);
}
