// What a results row shows of a hop record, stated once for the list, the CSV and the report.
#pragma once

#include "engine/hopwatch_records.h"
#include "foundation/base_types.h"

// The four round-trip columns of a row, and two figures of their spread that the console
// shows beside them.
enum EHopwatchRowTime : int {
    kRowTimeLast = 0,
    kRowTimeMin = 1,
    kRowTimeAvg = 2,
    kRowTimeMax = 3,
    kRowTimeStdDev = 4, // standard deviation of all replies (of the population, as ping's mdev)
    kRowTimeJitter = 5, // mean absolute difference of consecutive replies
};

// The row shows an address unless it is unknown (all ones) or there is no single one (0: the
// aggregate of a split, or a hop answered only by destination-unreachable).
bool HopwatchRowHasAddress(const SHopwatchHost& host);
// The address as the list shows it: dotted, indented by two spaces on an alternative's row;
// empty when the row has none.
CString HopwatchRowAddressText(const SHopwatchHost& host);

// Loss percentage, lost * 100 / (received + lost) truncated; FALSE when it is not defined
// (nothing sent, or neither a reply nor a loss yet). Computed in 64 bits so that long runs cannot
// overflow the product.
BOOL HopwatchLossPercent(const SHopwatchHost& host, DWORD& percent);
// Lost is shown once something was sent.
bool HopwatchRowShowsLost(const SHopwatchHost& host);

// A round-trip time of the row in seconds (the average is sumRtt / received); FALSE when the
// row shows none: no reply yet (for the spread, fewer than two), or the value is NaN.
bool HopwatchRowTime(const SHopwatchHost& host, EHopwatchRowTime which, double& seconds);
