// hopwatch-console's HTML report: the same document as the window's Export, from the console's
// list.
#pragma once

#include "console/console_options.h"
#include "foundation/CNTimeStamp.h"
#include "report/report_input.h"
#include "results/CHopwatchListView.h"

// Snapshot of a finished (or running, when `stopped` is unset) run: the list as the table shows
// it, the title, the run's times and the version texts; the export's time is taken now. Icons as
// the ExportIcons setting says, drawn from the built-in pixel tables. FALSE when memory ran out.
BOOL MakeConsoleReportInput(const CHopwatchListView& list, const CString& title,
                            const CNTimeStamp& started, const CNTimeStamp& stopped,
                            SHopwatchReportInput& input);

// Writes the reports the options ask for: /html FILE, and /export (also /open) into the
// temporary directory. Messages go to standard error; the path of an exported file to standard
// output. FALSE when one of them failed.
BOOL WriteConsoleReports(const SConsoleOptions& options, const SHopwatchReportInput& input);
