// What hopwatch-console prints when a run has ended, live or replayed from its recording.
#pragma once

#include "console/console_options.h"
#include "console/json_output.h"
#include "foundation/CNTimeStamp.h"
#include "results/CHopwatchRowSource.h"

// The title, then the rows as the table, or with --csv / --json that document alone on standard
// output (the title then on standard error); then the reports the options ask for. rows is the
// run's: a live data model or a replayed recording. started and stopped are local times for the
// report. FALSE when a report could not be written.
BOOL PrintRunEnd(const SConsoleOptions& options, const CHopwatchRowSource& rows,
                 const SConsoleRunFacts& facts, const CString& title, const CNTimeStamp& started,
                 const CNTimeStamp& stopped);

// Whether the terminal gets colours: as the options say, or as it can.
bool ConsoleUsesColor(const SConsoleOptions& options);
