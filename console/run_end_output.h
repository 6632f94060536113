// What hopwatch-console prints when a run has ended, live or replayed from its recording.
#pragma once

#include "console/console_options.h"
#include "foundation/CNTimeStamp.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRowRefresher.h"
#include "results/CHopwatchRowSource.h"

// The title on its own line, then the rows as a table (list refreshed from rows first) or with
// /csv as CSV (the title then on standard error), then the reports the options ask for. FALSE
// when a report could not be written.
BOOL PrintRunEnd(const SConsoleOptions& options, const CHopwatchRowSource& rows,
                 CHopwatchRowRefresher& refresher, CHopwatchMemoryList& list, const CString& title,
                 const CNTimeStamp& started, const CNTimeStamp& stopped);

// Whether the terminal gets colours: as the options say, or as it can.
bool ConsoleUsesColor(const SConsoleOptions& options);
