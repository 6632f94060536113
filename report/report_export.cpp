// The Export command: build the report, store it in the temporary directory, open it.
#include "report/report_export.h"

#include "foundation/system_error_text.h"
#include "foundation/text_utils.h"
#include "foundation/utf.h"
#include "platform/last_error.h"
#include "platform/shell_open.h"
#include "report/report_document.h"
#include "report/report_file.h"
#include "report/temp_directory.h"

const wchar_t kExportErrorCaption[] = L"Export Error";

namespace {

constexpr DWORD kErrorNotEnoughMemory = 8;

// Builds and writes; the error of whichever step failed.
BOOL BuildAndWrite(const SHopwatchReportInput& input, const CString& path, BOOL mustBeNew,
                   DWORD& error) {
    CString document;
    if (!BuildHopwatchReport(input, document)) {
        error = kErrorNotEnoughMemory;
        SetLastSystemError(error);
        return FALSE;
    }
    return WriteReportFile(path, ToUtf8(document), mustBeNew, error);
}

} // namespace

CString HopwatchReportFileName(const CNTimeStamp& exportTime) {
    return exportTime.Format(L"Hopwatch_Result_%Y%m%d_%H%M%S_%N.html");
}

SHopwatchExportResult ExportHopwatchReport(const SHopwatchReportInput& input, BOOL openInBrowser) {
    SHopwatchExportResult result;
    if (input.items.GetSize() == 0)
        return result;
    CString directory;
    if (!ReportTempDirectory(directory, result.error)) {
        result.status = kExportNoTempDirectory;
        return result;
    }
    // An empty path (the system could not make it absolute) fails at creation, with its error.
    if (!GetFullPath((directory + HopwatchReportFileName(input.now)).c_str(), result.path))
        result.path.clear();
    if (!BuildAndWrite(input, result.path, TRUE, result.error)) {
        result.status = kExportWriteFailed;
        return result;
    }
    if (openInBrowser) {
        result.error = PlatformOpenWithDefaultProgram(result.path);
        if (result.error != 0) {
            result.status = kExportOpenFailed;
            return result;
        }
    }
    result.status = kExportDone;
    return result;
}

BOOL WriteHopwatchReport(const SHopwatchReportInput& input, const CString& path, DWORD& error) {
    return BuildAndWrite(input, path, FALSE, error);
}

CString HopwatchExportErrorText(const SHopwatchExportResult& result) {
    switch (result.status) {
    case kExportNoTempDirectory:
        return L"Cannot locate temporary directory.";
    case kExportWriteFailed:
        return SystemErrorText(result.error, TRUE) + L"Cannot create/write results file\r\n" +
               result.path;
    case kExportOpenFailed:
        return SystemErrorText(result.error, TRUE) +
               L"Cannot open default web browser on document\r\n" + result.path;
    default:
        return CString();
    }
}
