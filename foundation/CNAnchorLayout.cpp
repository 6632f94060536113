// Anchoring arithmetic of resizable dialogs: control edges that follow the parent's edges.
#include "foundation/CNAnchorLayout.h"

namespace {

constexpr int kLeftShift = 4;
constexpr int kRightShift = 11;
constexpr int kTopShift = 18;
constexpr int kBottomShift = 25;

} // namespace

double AnchorReference(DWORD flags, int shift, int extent) {
    DWORD field = (flags >> shift) & 0x7F;
    double fraction = field == 0 ? 1.0 : field / 128.0;
    return fraction * extent;
}

void CNAnchorLayout::Prepare(int initialWidth, int initialHeight) {
    m_controls.RemoveAll();
    m_initialWidth = initialWidth;
    m_initialHeight = initialHeight;
}

BOOL CNAnchorLayout::AddControl(DWORD id, DWORD flags, const SPixelRect& rect, int width,
                                int height) {
    SResizableControl control;
    control.id = id;
    control.rect = rect;
    // Every offset is kept, following or not, so the record describes the control completely.
    control.leftOffset = AnchorReference(flags, kLeftShift, width) - rect.left;
    control.rightOffset = AnchorReference(flags, kRightShift, width) - rect.right;
    control.topOffset = AnchorReference(flags, kTopShift, height) - rect.top;
    control.bottomOffset = AnchorReference(flags, kBottomShift, height) - rect.bottom;
    control.flags = flags;
    return m_controls.AddTail(control) != nullptr;
}

SPixelRect CNAnchorLayout::Place(const SResizableControl& control, int width, int height) {
    const DWORD flags = control.flags;
    SPixelRect placed = control.rect;
    if (flags & kAnchorLeft)
        placed.left =
            static_cast<int>(AnchorReference(flags, kLeftShift, width) - control.leftOffset);
    if (flags & kAnchorTop)
        placed.top =
            static_cast<int>(AnchorReference(flags, kTopShift, height) - control.topOffset);
    if (flags & kAnchorRight)
        placed.right =
            static_cast<int>(AnchorReference(flags, kRightShift, width) - control.rightOffset);
    if (flags & kAnchorBottom)
        placed.bottom =
            static_cast<int>(AnchorReference(flags, kBottomShift, height) - control.bottomOffset);
    return placed;
}

BOOL CNAnchorLayout::LimitSizing(SPixelRect& dragged) const {
    if (m_initialWidth == 0 && m_initialHeight == 0)
        return FALSE;
    BOOL changed = FALSE;
    if (dragged.Width() < m_initialWidth) {
        dragged.right = dragged.left + m_initialWidth;
        changed = TRUE;
    }
    if (dragged.Height() < m_initialHeight) {
        dragged.bottom = dragged.top + m_initialHeight;
        changed = TRUE;
    }
    return changed;
}
