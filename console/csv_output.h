// The CSV form of a run's rows: one line per visible row, in row order.
#pragma once

#include "foundation/base_types.h"
#include "results/CHopwatchRowSource.h"

// Header line "row,ttl,image,address,name,note,sent,received,lost,last_ms,min_ms,avg_ms,max_ms"
// and one line per visible row of the source (the same rows the table view refreshes from), each
// ending with "\n". Address and times follow the list's row rules, without the list's
// indentation and grouping; the counters are always numbers. With historyValues > 0 a column
// "history" holds the row's newest outcomes, newest first, separated by blanks: a round trip in ms,
// -1 (awaiting its reply) or -2 (nothing to show). Then, so that every earlier column keeps its
// place, "stddev_ms" and "jitter_ms" (empty below two replies). Text fields are quoted as RFC 4180
// wants.
CString FormatRowsCsv(const CHopwatchRowSource& rows, int historyValues);

// A field quoted when it holds a comma, a double quote or a line break; quotes doubled.
CString CsvField(const CString& text);
