// The report's timeline section: heat map and loss per row as inline SVG, and the run's events.
#pragma once

#include "foundation/CNTimeStamp.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "results/CHopwatchRowSource.h"
#include "timeline/CHopwatchTimeline.h"
#include "timeline/timeline_event.h"
#include "timeline/timeline_rows.h"
#include "timeline/timeline_view.h"

// Everything the section shows, taken once when the report is made.
struct STimelineReport {
    bool include = false;   // off: the report carries no section at all
    CNTimeStamp start;      // the run's start, local wall-clock time
    double slotWidth = 0.0; // seconds per cell
    double rttScale = 0.0;  // the average round trip coloured light red (STimelineView::RttScale)
    NArray<STimelineRow> rows;
    STimelineView view; // one slot per cell, one lane per row
    NArray<STimelineEvent> events;
    DWORD omittedEvents = 0;
    DWORD dropped = 0;
};

// Cells of a row in the report at most; the slot width grows in readable steps to keep to it.
constexpr int kTimelineReportMaxCells = 240;

// Fills report from the model and the rows of the list (the source's visible rows, in order):
// the whole run in at most maxCells cells of one readable width, the events. report.include
// stays false when the model holds no run. FALSE when memory ran out.
BOOL SnapshotTimelineReport(const CHopwatchTimeline& model, const CHopwatchRowSource& rows,
                            STimelineReport& report, int maxCells = kTimelineReportMaxCells);

// The section's HTML, to go after the report's table: a heading line, the heat map of every row
// (each cell a rect with a <title> "TTL <ttl> <address> <HH:MM:SS>-<HH:MM:SS> sent <n> lost <n>
// avg <ms|-> ms"), each row's loss as bars, and the events as a table. Nothing but the two <svg>
// elements falls outside HTML 4.01 Transitional; no script, no external file.
CString TimelineReportSection(const STimelineReport& report);

// The heat map's <svg> element (timeline_svg.cpp).
CString TimelineHeatMapSvg(const STimelineReport& report);
// The loss of every row over time as an <svg> element of bars (timeline_svg.cpp).
CString TimelineLossSvg(const STimelineReport& report);
// The part of a row's cell titles before the times: "TTL <ttl> <address> ".
CString TimelineTitlePrefix(const STimelineRow& row);
// The <title> text of a cell spanning [spanStart, spanEnd) seconds of the run, after its row's
// prefix: "<prefix><HH:MM:SS>-<HH:MM:SS> sent <n> lost <n> avg <ms|-> ms".
CString TimelineCellTitle(const CString& prefix, const CNTimeStamp& start, double spanStart,
                          double spanEnd, const STimelineBucket& cell);
