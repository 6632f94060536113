// One console test run: start the engine, let it run, stop it gracefully and print the rows.
#pragma once

#include "console/console_options.h"

// Applies the options to the settings, runs the test and prints its outcome. Exit code: 0 done,
// 1 the run failed (socket error), 2 the host did not resolve, 3 a report asked for could not be
// written.
int RunConsoleTest(const SConsoleOptions& options);
