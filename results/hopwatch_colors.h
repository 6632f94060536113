// Cell colours of the results list: the linear blend, the three-stop ramp and the time colour.
#pragma once

#include "foundation/base_types.h"

// COLORREF values are 0x00BBGGRR.
constexpr COLORREF kColorWhite = 0xFFFFFF;
constexpr COLORREF kColorLightGreen = 0x99FF99;  // #99FF99
constexpr COLORREF kColorLightYellow = 0x66FFFF; // #FFFF66
constexpr COLORREF kColorLightRed = 0x9999FF;    // #FF9999

// Per channel (red, green, blue): c0 + trunc((c1 - c0) * t), with t clamped to [0, 1]. A NaN t
// counts as 0, so the result is c0 rather than an undefined conversion.
COLORREF BlendColor(COLORREF c0, COLORREF c1, double t);

// Three-stop ramp from light green through mid to end. White for a NaN t, light green for
// t below 0, blend(light green, mid, 2t) up to 0.5, blend(mid, end, 2t - 1) above (t capped at 1).
COLORREF RampColor(COLORREF mid, COLORREF end, double t);

// The ramp of the statistics cells: light green, light yellow, light red.
COLORREF StatisticsColor(double t);

// Colour of a time cell: white if either value is NaN or the column maximum is not above 0,
// otherwise the statistics ramp at value / columnMax.
COLORREF TimeColor(double value, double columnMax);
