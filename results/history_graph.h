// Geometry and colours of the history bar graph drawn in the "Note / History" cell.
#pragma once

#include "foundation/base_types.h"
#include "foundation/pixel_rect.h"

// Colours of the graph (COLORREF, 0x00BBGGRR).
constexpr COLORREF kGraphRampMid = 0x66CCCC;  // #CCCC66
constexpr COLORREF kGraphRampEnd = 0x333399;  // #993333
constexpr COLORREF kGraphAwaiting = 0xCC00CC; // #CC00CC, the dot of a probe awaiting its reply
constexpr COLORREF kGraphNothing = 0xCCCCCC;  // light grey, a probe with nothing to show

// One one-pixel-wide column of the graph: rows top..bottom-1 (cell coordinates) in color.
struct SGraphColumn {
    int top;
    int bottom;
    COLORREF color;
};

// The area the graph uses inside a sub-item's bounds: the bottom moved up by one pixel (the grid
// line), then two pixels off every side (2 * scale where the text is scaled up, see
// GraphScaleForDpi). FALSE when less than one pixel wide or high is left.
BOOL HistoryGraphArea(const SPixelRect& bounds, SPixelRect& area, int scale = 1);

// How many columns a window of valueCount outcomes takes in an area width pixels wide.
int HistoryGraphColumnCount(int valueCount, int width);

// Index into the window's values shown by column x (0 = left edge) when count columns are drawn:
// the oldest shown outcome on the left, the newest (index 0) in column count - 1.
inline int HistoryGraphValueIndex(int x, int count) {
    return count - 1 - x;
}

// The column for one value of the window in an area of the given top, bottom and height:
// a reply (value >= 0) is a bar from the bottom up, (height - 1) * value / max + 1 pixels high and
// coloured along the graph ramp at value / max; an awaiting probe (-1.0) is one pixel at the top;
// anything else fills the full height in grey. max is the window's largest reply time; when it is
// not above 0 (or NaN) a reply draws as the lowest bar. Where the text is scaled up, the awaiting
// dot and the lowest bar are scale pixels high.
SGraphColumn HistoryGraphColumn(double value, double max, int top, int bottom, int scale = 1);

// Pixels per outcome of the graph for a window's dots per inch (96 is 100 %): the text's scale
// rounded, at least 1. So 1 up to 143 dpi and 2 at 150 % (144 dpi) and 200 % (192 dpi).
int GraphScaleForDpi(int dpi);
// A size in pixels at 96 dpi scaled to dpi, rounded (16 is 24 at 144 dpi and 32 at 192 dpi); dpi
// below 1 counts as 96.
int ScaleToDpi(int pixels, int dpi);
