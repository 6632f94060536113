// Anchoring arithmetic of resizable dialogs: control edges that follow the parent's edges.
#pragma once

#include "foundation/NList.h"
#include "foundation/base_types.h"
#include "foundation/pixel_rect.h"

// Anchoring word of one control. Bits 0-3: the left, right, top and bottom edge follows its
// reference. Bits 4-10, 11-17: the left and right references as n/128 of the parent's client
// width; bits 18-24, 25-31: the top and bottom references as n/128 of its client height. A
// reference field of 0 stands for 128/128, the right side or the bottom.
enum EAnchorFlags : DWORD {
    kAnchorLeft = 0x1,
    kAnchorRight = 0x2,
    kAnchorTop = 0x4,
    kAnchorBottom = 0x8,
};

// One registered control: its rectangle at registration (parent client coordinates) and, per
// edge, the reference position minus the edge's position then.
struct SResizableControl {
    DWORD id;
    SPixelRect rect;
    double leftOffset;
    double rightOffset;
    double topOffset;
    double bottomOffset;
    DWORD flags;
};

// The portable half of CResizableControls: the initial size and the registered controls, and
// where each control goes for a client size. The window calls stay with the caller.
class CNAnchorLayout {
public:
    // Forgets every control and takes the parent's outer size as the minimum; 0 x 0 sets none.
    void Prepare(int initialWidth, int initialHeight);
    // Registers a control whose rectangle is rect while the parent's client area is
    // width x height. FALSE when no memory was left.
    BOOL AddControl(DWORD id, DWORD flags, const SPixelRect& rect, int width, int height);
    void RemoveAll() { m_controls.RemoveAll(); }

    // Where control goes when the client area is width x height: each following edge at its
    // reference minus its offset, truncated towards zero; the others where they were registered.
    static SPixelRect Place(const SResizableControl& control, int width, int height);
    // Keeps a rectangle being dragged at least as large as the initial size by moving its right
    // and bottom edges; the left and top stay. TRUE when the rectangle was changed. Nothing is
    // limited when the initial size is 0 x 0.
    BOOL LimitSizing(SPixelRect& dragged) const;

    int GetInitialWidth() const { return m_initialWidth; }
    int GetInitialHeight() const { return m_initialHeight; }
    const NList<SResizableControl>& GetControls() const { return m_controls; }

private:
    int m_initialWidth = 0;
    int m_initialHeight = 0;
    NList<SResizableControl> m_controls;
};

// Reference position of an anchoring field (7 bits at shift) along a client extent:
// field / 128 of it, the whole extent when the field is 0.
double AnchorReference(DWORD flags, int shift, int extent);
