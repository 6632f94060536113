// The rows of the results list as timeline lanes: which lane each row shows and how it is named.
#pragma once

#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "results/CHopwatchRowSource.h"
#include "timeline/timeline_view.h"

// One row of the list, as a lane.
struct STimelineRow {
    STimelineLaneKey key;
    DWORD ttl = 0;     // the hop's number; an alternative's is its hop's
    DWORD address = 0; // network byte order; 0 or all ones = none to show
    bool alternative = false;
    CString name; // the host name as the list shows it
};

// The visible rows of the source in the list's order: a hop's row shows the hop's lane (for a
// split hop, all its responders together), an alternative's row the lane of its responder at the
// hop it follows. Copies each row's record through the source (each copy takes the source's lock
// by itself). FALSE when memory ran out (rows is then partial).
BOOL TimelineRowsFromSource(const CHopwatchRowSource& source, NArray<STimelineRow>& rows);

// The row's address as dotted text, or "-" for a row without one.
CString TimelineRowAddress(const STimelineRow& row);
// The lane keys of rows, in order. FALSE when memory ran out.
BOOL TimelineRowKeys(const NArray<STimelineRow>& rows, NArray<STimelineLaneKey>& keys);
