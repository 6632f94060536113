// A bitmap drawn as an HTML table of one-pixel cells in the 16 palette colours.
#pragma once

#include "foundation/base_types.h"
#include "report/report_input.h"

// Appends to `out` the table of the index'th square image of `image` (images of height x height
// side by side): one row per pixel row, one cell per pixel of class "tdi" + the nearest palette
// index as a hex digit, or "tdiT" where the mask (only with useMask) marks the pixel
// transparent. Appends nothing and returns FALSE when there is no image, the index is out of
// range, or the pixel buffers are too short for the image.
BOOL AppendImageTable(CString& out, const SHopwatchReportImage& image, BOOL useMask, int index);
