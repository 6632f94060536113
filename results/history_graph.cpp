// Geometry and colours of the history bar graph drawn in the "Note / History" cell.
#include "results/history_graph.h"

#include "results/hopwatch_colors.h"

BOOL HistoryGraphArea(const SPixelRect& bounds, SPixelRect& area) {
    area.left = bounds.left + 2;
    area.top = bounds.top + 2;
    area.right = bounds.right - 2;
    area.bottom = bounds.bottom - 1 - 2;
    return area.Width() >= 1 && area.Height() >= 1;
}

int HistoryGraphColumnCount(int valueCount, int width) {
    if (valueCount <= 0 || width <= 0)
        return 0;
    return valueCount < width ? valueCount : width;
}

SGraphColumn HistoryGraphColumn(double value, double max, int top, int bottom) {
    int height = bottom - top;
    if (value >= 0.0) {
        double t = max > 0.0 ? value / max : 0.0;
        // A window built earlier than its maximum could hold a larger value: the bar stops at
        // the top of the cell instead of running over the row above.
        if (t > 1.0)
            t = 1.0;
        int bar = static_cast<int>((height - 1) * t) + 1;
        return {bottom - bar, bottom, RampColor(kGraphRampMid, kGraphRampEnd, t)};
    }
    if (value == -1.0)
        return {top, top + 1, kGraphAwaiting};
    return {top, bottom, kGraphNothing};
}
