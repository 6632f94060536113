// Cell colours of the results list: the linear blend, the three-stop ramp and the time colour.
#include "results/hopwatch_colors.h"

#include <cmath>

namespace {

COLORREF BlendChannel(COLORREF c0, COLORREF c1, double t, int shift) {
    int from = static_cast<int>((c0 >> shift) & 0xFF);
    int to = static_cast<int>((c1 >> shift) & 0xFF);
    // The product lies within [-255, 255], so the truncating conversion is always defined.
    int value = from + static_cast<int>((to - from) * t);
    return static_cast<COLORREF>(value & 0xFF) << shift;
}

} // namespace

COLORREF BlendColor(COLORREF c0, COLORREF c1, double t) {
    if (!(t > 0.0)) // also catches NaN
        t = 0.0;
    else if (t > 1.0)
        t = 1.0;
    return BlendChannel(c0, c1, t, 0) | BlendChannel(c0, c1, t, 8) | BlendChannel(c0, c1, t, 16);
}

COLORREF RampColor(COLORREF mid, COLORREF end, double t) {
    if (std::isnan(t))
        return kColorWhite;
    if (t < 0.0)
        return kColorLightGreen;
    if (t <= 0.5)
        return BlendColor(kColorLightGreen, mid, 2.0 * t);
    if (t > 1.0)
        t = 1.0;
    return BlendColor(mid, end, 2.0 * t - 1.0);
}

COLORREF StatisticsColor(double t) {
    return RampColor(kColorLightYellow, kColorLightRed, t);
}

COLORREF TimeColor(double value, double columnMax) {
    if (std::isnan(value) || std::isnan(columnMax) || !(columnMax > 0.0))
        return kColorWhite;
    return StatisticsColor(value / columnMax);
}
