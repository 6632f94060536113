// What hopwatch-console prints when a run has ended, live or replayed from its recording.
#pragma once

#include "console/console_options.h"
#include "console/json_output.h"
#include "foundation/CNTimeStamp.h"
#include "results/CHopwatchRowSource.h"
#include "timeline/CHopwatchTimeline.h"

// The title, then the rows as the table, or with --csv / --json that document alone on standard
// output (the title then on standard error); with --timeline the run's timeline (after a document,
// on standard error); then the reports the options ask for, with the timeline section when
// ExportTimeline is on. rows and timeline are the run's: fed by a live data model or a replayed
// recording. started and stopped are local times for the report. FALSE when a report could not
// be written.
BOOL PrintRunEnd(const SConsoleOptions& options, const CHopwatchRowSource& rows,
                 const CHopwatchTimeline& timeline, const SConsoleRunFacts& facts,
                 const CString& title, const CNTimeStamp& started, const CNTimeStamp& stopped);

// Whether the terminal gets colours: as the options say, or as it can.
bool ConsoleUsesColor(const SConsoleOptions& options);
