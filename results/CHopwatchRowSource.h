// What the results list refresh reads from the probe data model: rows, their histories, maxima.
#pragma once

#include "engine/CHopwatchHist4Show.h"
#include "engine/hopwatch_records.h"
#include "foundation/base_types.h"

// The snapshot operations of the data model that the refresh uses. Each call takes and releases
// the model's lock by itself; no lock is held across a refresh. CHopwatchDataRowSource serves a
// live CHopwatchData; tests feed records directly.
class CHopwatchRowSource {
public:
    virtual ~CHopwatchRowSource() = default;

    // Number of rows the list shows (read without the lock).
    virtual DWORD GetVisibleRows() const = 0;
    // Counter of the row table; moves when rows are rebuilt or a host name changes.
    virtual DWORD GetRowsVersion() const = 0;
    // Copies row's record into host unless its version equals cachedVersion and force is FALSE.
    // FALSE when nothing was copied or the row does not exist.
    virtual BOOL GetRow(int row, SHopwatchHost& host, DWORD cachedVersion, BOOL force) const = 0;
    // Rebuilds the row's history window into display; 1 if rebuilt, 0 if unchanged or no row.
    virtual int GetRowHistory(int row, CHopwatchHist4Show& display) const = 0;
    // Recomputes maxima when its version differs from the data version; TRUE when it did.
    virtual BOOL GetColumnMaxima(SHopwatchColumnMaxima& maxima) const = 0;
};
