// The timeline window's pictures as pixels: where things go, the heat map and the selected row's
// band of round trips and loss. Portable, so the window only adds text and puts the pixels up.
#pragma once

#include "foundation/base_types.h"
#include "timeline/timeline_view.h"

// Where the parts of the window go for a client area of width x height and `lanes` rows: the
// clock labels on top, the heat map (one lane per row, one pixel column per slot) under them
// with the rows' labels at its left, the selected row's band below and a status line at the
// bottom. Right and bottom edges are exclusive.
struct STimelineLayout {
    int width = 0;
    int height = 0;
    int plotLeft = 0;
    int plotRight = 0;
    int axisTop = 0;
    int heatTop = 0;
    int laneHeight = 0;
    int lanes = 0;
    int heatBottom = 0;
    int bandTitleTop = 0; // the band's title line
    int bandTop = 0;      // round trips from here ...
    int lossTop = 0;      // ... to here, loss from here ...
    int bandBottom = 0;   // ... to here
    int statusTop = 0;

    int PlotWidth() const { return plotRight > plotLeft ? plotRight - plotLeft : 0; }
    // The lane under a point of the heat map, or -1.
    int LaneAt(int x, int y) const;
    // The slot (pixel column) under x, or -1 outside the plot.
    int SlotAt(int x) const;
    // Whether y lies in the band.
    bool InBand(int y) const { return y >= bandTop && y < bandBottom; }
};

constexpr int kTimelineLabelWidth = 170;
constexpr int kTimelineStatusHeight = 22;

STimelineLayout TimelineLayout(int width, int height, int lanes);

// 32-bit pixels, rows top first, 0x00RRGGBB each (a top-down DIB's layout); not owned.
struct STimelineCanvas {
    DWORD* pixels = nullptr;
    int width = 0;
    int height = 0;

    // Fills [left, right) x [top, bottom), clipped to the canvas.
    void Fill(int left, int top, int right, int bottom, COLORREF color);
    COLORREF At(int x, int y) const; // 0x00BBGGRR, for tests
};

// Colours of the pictures (COLORREF).
constexpr COLORREF kTimelineBackground = 0xFFFFFF;
constexpr COLORREF kTimelineNoData = 0xF0F0F0;
constexpr COLORREF kTimelineLossMark = 0x00007F;
constexpr COLORREF kTimelineSelected = 0xFFE8D0;
constexpr COLORREF kTimelineBand = 0xFFCC99;
constexpr COLORREF kTimelineAverage = 0x993300;
constexpr COLORREF kTimelineLossBar = 0x0000CC;

// Paints the whole canvas: the background, the selected row's label strip, the heat map of
// view (lane l in layout's lane l, slot s in pixel column plotLeft + s): each cell in the
// colour of its average round trip against rttScale, its share of failed probes as a dark part
// from the bottom; then the selected lane's band, scaled to bandMax seconds (see
// TimelineBandMax). A selected lane of -1 draws no band.
void DrawTimeline(STimelineCanvas& canvas, const STimelineLayout& layout, const STimelineView& view,
                  double rttScale, int selected, double bandMax);

// The top of the band's scale for a lane: its largest round trip in the view with a tenth to
// spare; 0 without answers.
double TimelineBandMax(const STimelineView& view, int lane);
