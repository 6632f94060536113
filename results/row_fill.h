// Fills one results list row from a hop record: cell texts, row image, cell colours, item data.
#pragma once

#include "engine/hopwatch_records.h"
#include "foundation/base_types.h"
#include "results/CHopwatchListView.h"

// Sets every cell text of item, its image (the record's image code), its 12 cell colours and its
// item data (record version + maxima version, modulo 2^32). The colours of loss, lost and times
// are relative to maxima. The item must exist; when the list's row store has no entry for it,
// the colours are skipped. User-interface thread.
void FillHopwatchRow(CHopwatchListView& list, int item, const SHopwatchHost& host,
                     const SHopwatchColumnMaxima& maxima);
