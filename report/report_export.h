// The Export command: build the report, store it in the temporary directory, open it.
#pragma once

#include "foundation/CNTimeStamp.h"
#include "foundation/base_types.h"
#include "report/report_input.h"

// How an export ended; every failure but kExportNothing is shown to the user.
enum EHopwatchExportStatus {
    kExportDone = 0,
    kExportNothing,         // the list is empty: nothing happens
    kExportNoTempDirectory, // TEMP missing, empty or no usable directory
    kExportWriteFailed,     // the file could not be created, written, truncated, flushed or closed
    kExportOpenFailed,      // no program opened the file
};

struct SHopwatchExportResult {
    EHopwatchExportStatus status = kExportNothing;
    DWORD error = 0; // the system's code for a failed write or open
    CString path;    // the report file, once its name is formed
};

// Caption of every export error box.
extern const wchar_t kExportErrorCaption[];

// The report's file name for the export's time, e.g. "Hopwatch_Result_20070523_141516_042.html".
CString HopwatchReportFileName(const CNTimeStamp& exportTime);

// Exports input: nothing for an empty list; otherwise finds the temporary directory, builds the
// document, writes it as UTF-8 without a byte-order mark under HopwatchReportFileName(input.now)
// and, with openInBrowser, hands it to the default program. Never deletes a file. Out of memory
// while building counts as a failed write (error 8). User-interface thread.
SHopwatchExportResult ExportHopwatchReport(const SHopwatchReportInput& input, BOOL openInBrowser);

// Builds the document and writes it to `path` as the user named it (the console's report);
// FALSE with the system's code in `error`.
BOOL WriteHopwatchReport(const SHopwatchReportInput& input, const CString& path, DWORD& error);

// The text of the error box for a failed export: "Cannot locate temporary directory.", or the
// system's text for the error and "Cannot create/write results file\r\n" or "Cannot open default
// web browser on document\r\n" followed by the path. Empty for kExportDone and kExportNothing.
CString HopwatchExportErrorText(const SHopwatchExportResult& result);
