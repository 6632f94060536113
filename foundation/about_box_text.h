// The About box's caption and body, built from the program's version information.
#pragma once

#include "foundation/CNVersionInfo.h"
#include "foundation/base_types.h"

// "About " followed by the internal name (nothing after the space without version data).
CString AboutBoxCaption(const CNVersionInfo& version);

// The product name, then "Release V1.5.19.0" (or "Debug ..."), then the company, the copyright
// notice and the comments on lines of their own when they are not empty, then "Built on" and the
// build date in local time when there is one. Without version data: "<n/a>".
CString AboutBoxBody(const CNVersionInfo& version);

// The size the About box's text needs, in pixels, from the measured width and height of each of
// its `count` lines: the widest line and the sum of the heights, each plus an 8-pixel margin, and
// at least 64 pixels high.
void AboutBoxTextExtent(const int* widths, const int* heights, int count, int* width, int* height);
