// Tests of absolute path forming on Linux, where names are resolved without the file system.
#include <gtest/gtest.h>

#include "foundation/text_utils.h"

TEST(PathsPosix, ResolvesDotsByName) {
    CString full;
    ASSERT_TRUE(GetFullPath(L"/a/./b/../c/", full));
    EXPECT_EQ(full, L"/a/c/");
    ASSERT_TRUE(GetFullPath(L"/../x//y", full));
    EXPECT_EQ(full, L"/x/y");
    ASSERT_TRUE(GetFullPath(L"/a/..", full));
    EXPECT_EQ(full, L"/");
    // Bytes that are not UTF-8 still read as characters (Latin-1) instead of vanishing.
    EXPECT_EQ(AnsiToString("caf\xE9"), L"caf\u00e9");
    EXPECT_EQ(AnsiToString("caf\xC3\xA9"), L"caf\u00e9");
}
