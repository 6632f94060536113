// hopwatch-console /replay: a recording printed as its run printed its end.
#pragma once

#include "console/console_options.h"

// Reads the recording options.replayPath names and prints its title and rows (table, /csv,
// /history) and writes the reports asked for, as the live run did at its end. Exit code: 0 the
// recording is whole, 1 the recorded run failed (its error follows on standard error), 3 a
// report could not be written, 4 nothing could be shown (not a recording, a newer format,
// unreadable), 5 the recording is cut off or damaged (what comes before is printed). Every
// problem is said on standard error.
int RunConsoleReplay(const SConsoleOptions& options);
