// A rectangle in pixels, shaped like the platform's RECT, for layout arithmetic without windows.
#pragma once

// Left and top lie inside, right and bottom just outside; y grows downwards.
struct SPixelRect {
    int left;
    int top;
    int right;
    int bottom;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

inline bool operator==(const SPixelRect& a, const SPixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
