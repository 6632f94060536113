// The timeline window's pictures as pixels: where things go, the heat map and the selected row's
// band of round trips and loss.
#include "timeline/timeline_raster.h"

#include <cmath>

#include "results/hopwatch_colors.h"

namespace {

constexpr int kMargin = 8;
constexpr int kAxisHeight = 18;
constexpr int kTitleHeight = 18;
constexpr int kBandHeight = 120;
constexpr int kMaxLaneHeight = 18;
constexpr int kMinLaneHeight = 3;

DWORD Pixel(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// The y of a round trip in the band: 0 at the bottom of the round-trip part.
int BandY(const STimelineLayout& layout, double seconds, double max) {
    double t = max > 0.0 ? seconds / max : 0.0;
    if (t > 1.0)
        t = 1.0;
    const int height = layout.lossTop - layout.bandTop - 1;
    return layout.lossTop - 1 - static_cast<int>(t * height + 0.5);
}

void DrawBand(STimelineCanvas& canvas, const STimelineLayout& layout, const STimelineView& view,
              int lane, double max) {
    canvas.Fill(layout.plotLeft, layout.bandTop, layout.plotRight, layout.bandBottom,
                kTimelineNoData);
    canvas.Fill(layout.plotLeft, layout.lossTop, layout.plotRight, layout.lossTop + 1, 0xCCCCCC);
    const int lossHeight = layout.bandBottom - layout.lossTop - 1;
    for (int s = 0; s < view.slots && layout.plotLeft + s < layout.plotRight; ++s) {
        const STimelineBucket& cell = view.Cell(lane, s);
        const int x = layout.plotLeft + s;
        if (cell.answered > 0) {
            const int top = BandY(layout, cell.maxRtt, max);
            const int bottom = BandY(layout, cell.minRtt, max);
            canvas.Fill(x, top, x + 1, bottom + 1, kTimelineBand);
            const int average = BandY(layout, cell.Average(), max);
            canvas.Fill(x, average - 1, x + 1, average + 1, kTimelineAverage);
        }
        const double share = cell.LossShare();
        if (!std::isnan(share) && share > 0.0) {
            const int height = static_cast<int>(std::ceil(share * lossHeight));
            canvas.Fill(x, layout.bandBottom - height, x + 1, layout.bandBottom, kTimelineLossBar);
        }
    }
}

} // namespace

int STimelineLayout::LaneAt(int x, int y) const {
    if (laneHeight <= 0 || y < heatTop || y >= heatTop + lanes * laneHeight || x < 0 ||
        x >= plotRight)
        return -1;
    return (y - heatTop) / laneHeight;
}

int STimelineLayout::SlotAt(int x) const {
    return x >= plotLeft && x < plotRight ? x - plotLeft : -1;
}

STimelineLayout TimelineLayout(int width, int height, int lanes) {
    STimelineLayout layout;
    layout.width = width;
    layout.height = height;
    layout.lanes = lanes > 0 ? lanes : 0;
    layout.plotLeft = kTimelineLabelWidth;
    layout.plotRight = width - kMargin > layout.plotLeft ? width - kMargin : layout.plotLeft;
    layout.axisTop = 2;
    layout.heatTop = layout.axisTop + kAxisHeight;
    layout.statusTop = height - kTimelineStatusHeight;
    // The band keeps its height while there is room; the lanes share what is left.
    const int bandSpace = kTitleHeight + kBandHeight + kMargin;
    int heatSpace = layout.statusTop - kMargin - layout.heatTop - bandSpace;
    int laneHeight = layout.lanes > 0 ? heatSpace / layout.lanes : kMaxLaneHeight;
    if (laneHeight > kMaxLaneHeight)
        laneHeight = kMaxLaneHeight;
    if (laneHeight < kMinLaneHeight)
        laneHeight = kMinLaneHeight;
    layout.laneHeight = laneHeight;
    layout.heatBottom = layout.heatTop + layout.lanes * laneHeight;
    layout.bandTitleTop = layout.heatBottom + kMargin;
    layout.bandTop = layout.bandTitleTop + kTitleHeight;
    layout.bandBottom = layout.bandTop + kBandHeight;
    if (layout.bandBottom > layout.statusTop - 2)
        layout.bandBottom = layout.statusTop - 2;
    if (layout.bandBottom < layout.bandTop)
        layout.bandBottom = layout.bandTop;
    layout.lossTop = layout.bandBottom - (layout.bandBottom - layout.bandTop) / 4;
    return layout;
}

void STimelineCanvas::Fill(int left, int top, int right, int bottom, COLORREF color) {
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    right = right > width ? width : right;
    bottom = bottom > height ? height : bottom;
    const DWORD pixel = Pixel(color);
    for (int y = top; y < bottom; ++y) {
        DWORD* row = pixels + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = left; x < right; ++x)
            row[x] = pixel;
    }
}

COLORREF STimelineCanvas::At(int x, int y) const {
    return Pixel(pixels[static_cast<std::ptrdiff_t>(y) * width + x]); // the swap is its own inverse
}

double TimelineBandMax(const STimelineView& view, int lane) {
    double max = 0.0;
    for (int s = 0; s < view.slots; ++s) {
        const STimelineBucket& cell = view.Cell(lane, s);
        if (cell.answered > 0 && cell.maxRtt > max)
            max = cell.maxRtt;
    }
    return max * 1.1;
}

void DrawTimeline(STimelineCanvas& canvas, const STimelineLayout& layout, const STimelineView& view,
                  double rttScale, int selected, double bandMax) {
    canvas.Fill(0, 0, canvas.width, canvas.height, kTimelineBackground);
    if (selected >= 0 && selected < layout.lanes)
        canvas.Fill(0, layout.heatTop + selected * layout.laneHeight, layout.plotLeft - 2,
                    layout.heatTop + (selected + 1) * layout.laneHeight, kTimelineSelected);
    const int cellHeight = layout.laneHeight > 3 ? layout.laneHeight - 1 : layout.laneHeight;
    for (int lane = 0; lane < layout.lanes && lane < view.lanes; ++lane) {
        const int top = layout.heatTop + lane * layout.laneHeight;
        for (int s = 0; s < view.slots && layout.plotLeft + s < layout.plotRight; ++s) {
            const STimelineBucket& cell = view.Cell(lane, s);
            const int x = layout.plotLeft + s;
            if (cell.IsEmpty()) {
                canvas.Fill(x, top, x + 1, top + cellHeight, kTimelineNoData);
                continue;
            }
            const double share = cell.LossShare();
            const int mark =
                std::isnan(share) ? 0 : static_cast<int>(std::ceil(share * cellHeight));
            canvas.Fill(x, top, x + 1, top + cellHeight - mark,
                        TimeColor(cell.Average(), rttScale));
            canvas.Fill(x, top + cellHeight - mark, x + 1, top + cellHeight, kTimelineLossMark);
        }
    }
    if (selected >= 0 && selected < view.lanes && layout.bandBottom > layout.bandTop)
        DrawBand(canvas, layout, view, selected, bandMax);
}
