// The figures of a responder record: starting them, adding a round trip, the column maxima.
#pragma once

#include "engine/hopwatch_records.h"
#include "foundation/base_types.h"

// Puts the figures of host into their state before any probe: counters 0, last round trip NaN,
// minimum DBL_MAX, maximum -DBL_MAX. Leaves version, ttl, image, address, name and chain alone.
void HopwatchClearFigures(SHopwatchHost& host);
// Counts one reply of rtt seconds: last, minimum, sum, maximum and the spread (squared deviations,
// jitter) follow it. The engine and a recording's reader both count through this, so that the
// sums add up in the same order.
void HopwatchAddRtt(SHopwatchHost& host, double rtt);
// The largest values over the first count hop records, as the list sizes its columns by them;
// version is left 0.
SHopwatchColumnMaxima HopwatchColumnMaxima(const SHopwatchHost* hops, DWORD count);
