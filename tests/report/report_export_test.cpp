// Export error texts and the Windows path roots that the temporary directory must start with.
#include <gtest/gtest.h>

#include "foundation/system_error_text.h"
#include "report/report_export.h"
#include "report/temp_directory.h"

TEST(ReportExportText, WriteAndOpenFailuresNameTheErrorAndThePath) {
    SHopwatchExportResult result;
    result.status = kExportOpenFailed;
    result.error = 2;
    result.path = L"/tmp/x.html";
    EXPECT_EQ(HopwatchExportErrorText(result),
              SystemErrorText(2, FALSE) +
                  L"\r\nCannot open default web browser on document\r\n/tmp/x.html");
    result.status = kExportDone;
    EXPECT_EQ(HopwatchExportErrorText(result), L"");
    EXPECT_STREQ(kExportErrorCaption, L"Export Error");
}

TEST(ReportTempPath, WindowsRootsAreADriveOrAServerAndShare) {
    EXPECT_EQ(WindowsPathRootLength(L"C:\\Users\\x\\"), 2);
    EXPECT_EQ(WindowsPathRootLength(L"z:\\"), 2);
    EXPECT_EQ(WindowsPathRootLength(L"1:\\"), 0);
    EXPECT_EQ(WindowsPathRootLength(L"\\\\server\\share\\temp\\"), 14);
    EXPECT_EQ(WindowsPathRootLength(L"\\\\server\\share\\"), 14);
    EXPECT_EQ(WindowsPathRootLength(L"\\\\server\\share"), 0);
    EXPECT_EQ(WindowsPathRootLength(L"\\\\\\share\\"), 0);
    EXPECT_EQ(WindowsPathRootLength(L"\\\\server\\\\x\\"), 0);
    EXPECT_EQ(WindowsPathRootLength(L"\\temp\\"), 0);
    EXPECT_EQ(WindowsPathRootLength(L""), 0);
}
