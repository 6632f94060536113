// Tests of the system error texts, natively and under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "foundation/blank_set.h"
#include "foundation/system_error_text.h"
#include "platform/last_error.h"

namespace {

// The part behind "Error N: ", checked to be there.
CString MessagePart(const CString& text, const CString& prefix) {
    EXPECT_EQ(text.compare(0, prefix.size(), prefix), 0) << testing::PrintToString(text);
    return text.size() >= prefix.size() ? text.substr(prefix.size()) : CString();
}

} // namespace

TEST(SystemErrorText, GivesTheSystemsTrimmedTextOrUnknown) {
    const CString denied = MessagePart(SystemErrorText(5, FALSE), L"Error 5: ");
    EXPECT_EQ(denied, TrimBlanks(denied));
#ifdef _WIN32
    EXPECT_NE(denied.find(L"denied"), CString::npos) << testing::PrintToString(denied);
#else
    const char* expected = std::strerror(5);
    EXPECT_EQ(denied, CString(expected, expected + std::strlen(expected)));
#endif

    EXPECT_EQ(SystemErrorText(0x20001234, FALSE), L"Error 536875572: Unknown system error");
    EXPECT_EQ(SystemErrorText(0x7FFFFFFF, FALSE), L"Error 2147483647: Unknown system error");
    // Network-management codes: the library may be missing (Wine), the text is still a line.
    const CString network = MessagePart(SystemErrorText(2102, FALSE), L"Error 2102: ");
    EXPECT_FALSE(network.empty());
    EXPECT_EQ(network, TrimBlanks(network));

    EXPECT_EQ(SystemErrorText(0x20001234, TRUE), L"Error 536875572: Unknown system error\r\n");
    EXPECT_EQ(SystemErrorText(5, TRUE), SystemErrorText(5, FALSE) + L"\r\n");
}

TEST(SystemErrorText, AllOnesReportsTheLastFailedCall) {
    std::FILE* file = std::fopen("/nonexistent-hopwatch-dir/nofile", "rb");
    ASSERT_EQ(file, nullptr);
    const DWORD failure = GetLastSystemError();
    ASSERT_NE(failure, 0u);
    const CString text = SystemErrorText(0xFFFFFFFF, FALSE);
    EXPECT_EQ(text, SystemErrorText(failure, FALSE));
    EXPECT_EQ(text.find(L"4294967295"), CString::npos);
    // Looking up a text leaves the last error as it was.
    EXPECT_EQ(GetLastSystemError(), failure);

    SetLastSystemError(0x20001234);
    EXPECT_EQ(SystemErrorText(0xFFFFFFFF, FALSE), L"Error 536875572: Unknown system error");
    EXPECT_EQ(GetLastSystemError(), 0x20001234u);
}
