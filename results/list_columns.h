// The twelve columns of the results list: indexes, header texts and alignments.
#pragma once

#include "foundation/base_types.h"

// Column indexes; the column index is also the sub-item index.
enum EHopwatchColumn : int {
    kColTtl = 0,
    kColAddress = 1,
    kColHostName = 2,
    kColLoss = 3,
    kColSent = 4,
    kColReceived = 5,
    kColLost = 6,
    kColLastRtt = 7,
    kColMinRtt = 8,
    kColAvgRtt = 9,
    kColMaxRtt = 10,
    kColNote = 11,
    kHopwatchColumnCount = 12
};

// Header text of a column, e.g. "Last RT [ms]"; an empty text for an index outside 0..11.
LPCWSTR HopwatchColumnHeader(int column);

// TRUE for the right-aligned columns (TTL and the numbers); FALSE for Address, Host Name,
// Note / History and indexes outside 0..11.
BOOL HopwatchColumnRightAligned(int column);
