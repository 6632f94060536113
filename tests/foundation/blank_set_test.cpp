// Tests of the blank set and trimming.
#include <gtest/gtest.h>

#include "foundation/blank_set.h"

TEST(BlankSet, TrimsEveryBlankButKeepsInnerOnes) {
    EXPECT_EQ(TrimBlanks(L"\b\t\n\v\f\r a b \r\n"), L"a b");
    EXPECT_EQ(TrimBlanks(L" \t "), L"");
    EXPECT_FALSE(IsBlank(L'\0'));
    EXPECT_FALSE(IsBlank(0xA0)); // no-break space is not in the set
}
