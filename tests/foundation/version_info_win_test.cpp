// CNVersionInfo on the program's own executable, and on a file without version data.
#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/CNVersionInfo.h"
#include "foundation/about_box_text.h"
#include "hopwatch_version.h"
#include "platform/last_error.h"

TEST(VersionInfoWin, ReadsTheProgramsOwnExecutable) {
    CNVersionInfo info;
    ASSERT_TRUE(info.Read(HOPWATCH_EXE_PATH)) << GetLastSystemError();
    EXPECT_EQ(info.GetProductVersionPart(0), HOPWATCH_VERSION_MAJOR);
    EXPECT_EQ(info.GetProductVersionPart(1), HOPWATCH_VERSION_MINOR);
    EXPECT_EQ(info.GetProductVersionPart(2), HOPWATCH_VERSION_PATCH);
    EXPECT_EQ(info.GetProductVersionPart(3), HOPWATCH_VERSION_TWEAK);
    EXPECT_EQ(info.GetProductName(), L"Hopwatch");
    EXPECT_EQ(info.GetCompanyName(), L"ORVANE");
    EXPECT_EQ(info.Format(L"%a.%b.%c.%d"), HOPWATCH_VERSION_TEXT_W);
    EXPECT_EQ(info.GetInternalName(), L"Hopwatch");
    EXPECT_FALSE(info.IsDebug());
    EXPECT_GT(info.GetRootOffset(), 0);
    EXPECT_EQ(info.GetPath().substr(info.GetPath().size() - 12), L"hopwatch.exe");
    EXPECT_GT(info.GetFileData().m_nSize, 0u);
    // The build date is whatever the resource's file date holds: unset when the build wrote
    // none, else a time after the year 2020.
    CNTimeStamp built = info.GetBuildDate();
    EXPECT_TRUE(!built.IsSet() || built.GetValue() > 132223104000000000ull);
    CString body = AboutBoxBody(info);
    EXPECT_EQ(body.substr(0, 18), L"Hopwatch\r\nRelease ");
    EXPECT_EQ(AboutBoxCaption(info), L"About Hopwatch");
}

TEST(VersionInfoWin, AnExecutableWithoutVersionDataFailsWith13) {
    // The test program itself carries no version resource.
    CNVersionInfo info;
    EXPECT_FALSE(info.ReadOwnModule());
    EXPECT_EQ(GetLastError(), 13u);
    EXPECT_EQ(info.GetPath().substr(info.GetPath().size() - 4), L".exe");
    EXPECT_EQ(AboutBoxCaption(info), L"About ");
    EXPECT_EQ(AboutBoxBody(info), L"<n/a>");
    // Wildcards matching several files and directories are refused.
    EXPECT_FALSE(info.Read(L"C:\\windows\\system32\\*.dll"));
    EXPECT_EQ(GetLastError(), 87u);
    EXPECT_FALSE(info.Read(L"C:\\windows"));
    EXPECT_EQ(GetLastError(), 13u);
    // A system DLL with a version resource of its own is read like any file.
    EXPECT_TRUE(info.Read(L"C:\\windows\\system32\\kernel32.dll"));
}
