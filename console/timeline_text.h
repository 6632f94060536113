// The console's timeline: the heat map as text, a glyph per time slot, and the run's events.
#pragma once

#include "foundation/base_types.h"
#include "timeline/timeline_report.h"

// Cells of a row on the console: the slot width grows in readable steps to keep to it.
constexpr int kConsoleTimelineCells = 60;

// A heading line with the slot's span and the run's times, one line per row ("TTL  3
// 198.51.100.6  " then a glyph per slot: blank for nothing sent, a full block for no loss, lighter
// shades for more loss, "x" for all lost; coloured by the average round trip when color), a line
// of wall-clock labels, then the events, one per line. Empty when the report holds no run.
CString FormatTimelineText(const STimelineReport& report, bool color);
