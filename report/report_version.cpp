// The report's version texts from the build's one version number.
#include "report/report_version.h"

#include "foundation/numbers.h"
#include "hopwatch_version.h"

SHopwatchReportVersion BuiltInReportVersion() {
    const CString product = L"Hopwatch";
    const CString number = FormatUnsigned(HOPWATCH_VERSION_MAJOR, 10) + L"." +
                           FormatUnsigned(HOPWATCH_VERSION_MINOR, 10, 2, L'0') + L"." +
                           FormatUnsigned(HOPWATCH_VERSION_PATCH, 10, 2, L'0');
    SHopwatchReportVersion version;
    version.generator = product + L" Release " + number;
    version.footer = product + L"</a> Release " + number + L" ";
    return version;
}
