// The HTML 4.01 Transitional report of a test, built from a snapshot of what the list shows.
#pragma once

#include "foundation/base_types.h"
#include "report/report_input.h"

// The address of the maker's web page, the footer's link.
extern const wchar_t kReportMakerAddress[];

// Builds the whole document into `document`: head with its style sheets, the title line (with
// the program icon when input.exportIcons), host and times, one table row per item with the
// list's texts, alignments and cell colours (and the row image), the footer with the version.
// A failed icon table leaves its cell empty. FALSE (document untouched) only when memory ran
// out. User-interface thread or any thread owning the input.
BOOL BuildHopwatchReport(const SHopwatchReportInput& input, CString& document);
