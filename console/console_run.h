// One console test run: start the engine, let it run, stop it gracefully and print the rows.
#pragma once

#include "console/console_options.h"

// Applies the options to the settings, runs the test and prints its outcome: the table, or only
// the CSV or JSON document on standard output with the title and messages on standard error.
// Exit code: kConsoleExitDone, or kConsoleExitFailed when the host did not resolve, the run could
// not start or failed, or a report asked for could not be written.
int RunConsoleTest(const SConsoleOptions& options);
