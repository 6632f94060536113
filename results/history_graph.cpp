// Geometry and colours of the history bar graph drawn in the "Note / History" cell.
#include "results/history_graph.h"

#include "results/hopwatch_colors.h"

BOOL HistoryGraphArea(const SPixelRect& bounds, SPixelRect& area, int scale) {
    const int margin = 2 * (scale > 0 ? scale : 1);
    area.left = bounds.left + margin;
    area.top = bounds.top + margin;
    area.right = bounds.right - margin;
    area.bottom = bounds.bottom - 1 - margin;
    return area.Width() >= 1 && area.Height() >= 1;
}

int HistoryGraphColumnCount(int valueCount, int width) {
    if (valueCount <= 0 || width <= 0)
        return 0;
    return valueCount < width ? valueCount : width;
}

SGraphColumn HistoryGraphColumn(double value, double max, int top, int bottom, int scale) {
    int height = bottom - top;
    int dot = scale > 1 && scale < height ? scale : 1;
    if (value >= 0.0) {
        double t = max > 0.0 ? value / max : 0.0;
        // A window built earlier than its maximum could hold a larger value: the bar stops at
        // the top of the cell instead of running over the row above.
        if (t > 1.0)
            t = 1.0;
        int bar = static_cast<int>((height - dot) * t) + dot;
        return {bottom - bar, bottom, RampColor(kGraphRampMid, kGraphRampEnd, t)};
    }
    if (value == -1.0)
        return {top, top + dot, kGraphAwaiting};
    return {top, bottom, kGraphNothing};
}

int GraphScaleForDpi(int dpi) {
    int scale = (ScaleToDpi(96, dpi) + 48) / 96;
    return scale > 1 ? scale : 1;
}

int ScaleToDpi(int pixels, int dpi) {
    if (dpi < 1)
        dpi = 96;
    return static_cast<int>((static_cast<long long>(pixels) * dpi + 48) / 96);
}
