// The CSV form of a finished run: one line per visible row, in row order.
#pragma once

#include "foundation/base_types.h"

class CHopwatchData;

// Header line "row,ttl,image,address,name,note,sent,received,lost,last_ms,min_ms,avg_ms,max_ms"
// and one line per visible row, each ending with "\n". With historyValues > 0 a last column
// "history" holds the row's newest outcomes, newest first, separated by blanks: a round trip in
// ms, -1 (awaiting its reply) or -2 (nothing to show). Text fields are quoted as RFC 4180 wants.
CString FormatRowsCsv(const CHopwatchData& data, int historyValues);

// A field quoted when it holds a comma, a double quote or a line break; quotes doubled.
CString CsvField(const CString& text);
