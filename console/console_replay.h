// hopwatch-console --replay: a recording printed as its run printed its end.
#pragma once

#include "console/console_options.h"

// Reads the recording options.replayPath names and prints its title and rows (table, --csv,
// --json, --history) and writes the reports asked for, as the live run did at its end. Exit code:
// kConsoleExitDone for a whole recording; kConsoleExitFailed when nothing could be shown (not a
// recording, a newer format, unreadable), the recorded run failed (its error follows on standard
// error, as the live run's did) or a report could not be written; kConsoleExitPartial when the
// recording is cut off or damaged (what comes before is printed). Every problem is said on
// standard error.
int RunConsoleReplay(const SConsoleOptions& options);
