// CHopwatchApp's start-up when the socket library cannot be started.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/CHopwatchApp.h"
#include "dialog_test_support.h"
#include "settings/settings_globals.h"

namespace {

class CAppWithoutSockets : public CHopwatchApp {
public:
    int m_socketStarts = 0;

protected:
    BOOL InitSockets() override {
        ++m_socketStarts;
        ::SetLastError(WSASYSNOTREADY);
        return FALSE;
    }
};

} // namespace

TEST(AppStart, WithoutSocketsSaysSoOnceAndEndsBeforeAnySettingIsRead) {
    CRecordedBoxes boxes;
    DWORD interval = g_dwPingIntervalMS;
    DWORD maxTtl = g_dwMaxTTL;
    // Values no stored setting and no default has: a load would replace them.
    g_dwPingIntervalMS = 4321;
    g_dwMaxTTL = 77;

    CAppWithoutSockets app;
    app.SetInstance(::GetModuleHandleW(nullptr), L"");
    EXPECT_FALSE(app.InitInstance());

    EXPECT_EQ(app.m_socketStarts, 1);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, CString(L"Windows sockets initialization failed."));
    // The caption is the program's file name without its extension, here the test program's.
    EXPECT_EQ(boxes.Boxes()[0].caption, CString(L"app_tests"));
    EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(g_dwPingIntervalMS, 4321u);
    EXPECT_EQ(g_dwMaxTTL, 77u);
    EXPECT_EQ(::FindWindowW(nullptr, L"Hopwatch"), nullptr);

    g_dwPingIntervalMS = interval;
    g_dwMaxTTL = maxTtl;
}

// The program starts with the rights of whoever starts it: no elevation prompt, and without
// administrator rights it probes through the system's ICMP service.
TEST(AppStart, TheManifestAsksForTheInvokersRightsOnly) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(bytes, ::SizeofResource(module, found));
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
}
