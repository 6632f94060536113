// CTPCMemDC: an off-screen DC that composes a picture and copies it to its target in one step.
#pragma once

#include <windows.h>

#include "ui/CDC.h"

// Usage: in a WM_PAINT handler, { CPaintDC paint(hWnd); CTPCMemDC dc(paint); draw on dc... }.
// The memory DC covers the target's clip box with the same coordinates, so drawing code does not
// know it is off screen; the destructor copies that rectangle to the same place on the target
// and releases the bitmap. For a printer DC, or when no memory DC or bitmap can be had, it draws
// on the target directly (still correct, merely not flicker-free). Not copyable; one scope.
class CTPCMemDC : public CDC {
public:
    explicit CTPCMemDC(CDC& target);
    ~CTPCMemDC() override;

    // The rectangle being drawn (the target's clip box) and whether drawing goes off screen.
    const RECT& GetRect() const { return m_rect; }
    BOOL IsMemDC() const { return m_bMemDC; }

private:
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    CDC& m_target;
    RECT m_rect = {};
    BOOL m_bMemDC = FALSE;
};
