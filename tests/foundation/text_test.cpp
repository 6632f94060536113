// Tests of the text helpers: Unicode conversions, 8-bit text, paths and the chunked text buffer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "foundation/CNTextBuffer.h"
#include "foundation/text_utils.h"

namespace {

TEST(TextConversion, GivesTheSameBytesOnEveryPlatform) {
    const CString text = L"a\u00e9\u20ac" + FromUtf16(u"\U0001F600", 2);
    EXPECT_EQ(ToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf16(text), u"a\u00e9\u20ac\U0001F600");
    EXPECT_EQ(FromUtf8("a\xC3(\xF0\x9F"), L"a\uFFFD(\uFFFD\uFFFD");
    EXPECT_EQ(FromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD"); // overlong forms are not decoded

    EXPECT_EQ(AnsiToString(nullptr), L"");
    EXPECT_EQ(AnsiToString("host-1.example"), L"host-1.example");

    wchar_t* copy = MultiByteToWideDup(0, "abcdef", 3);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, L"abc");
    std::free(copy);
    copy = MultiByteToWideDup(0, "", -1);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, L"");
    std::free(copy);
    EXPECT_EQ(MultiByteToWideDup(0, nullptr, -1), nullptr);
}

TEST(Paths, AppendsBackslashesAndResolvesPaths) {
    EXPECT_EQ(WithTrailingBackslash(L""), L"");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\x\\"), L"C:\\x\\");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\x"), L"C:\\x\\");

    CString dir;
    ASSERT_TRUE(GetCurrentDir(dir));
    ASSERT_FALSE(dir.empty());
    if (dir.size() >= 2 && dir[1] == L':') {
        EXPECT_TRUE(dir[0] >= L'A' && dir[0] <= L'Z');
    }

    CString full;
    DWORD error = 1;
    ASSERT_TRUE(GetFullPath(L"name.txt", full, &error));
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(full.substr(0, dir.size()), dir);
    EXPECT_EQ(full.size(), dir.size() + 9); // dir, a separator, name.txt
    EXPECT_EQ(full.substr(dir.size() + 1), L"name.txt");

    EXPECT_FALSE(GetFullPath(L"", full, &error));
    EXPECT_NE(error, 0u);
    CString tooLong(5000, L'a');
    EXPECT_FALSE(GetFullPath(tooLong.c_str(), full, &error));
    EXPECT_EQ(error, 122u);
}

TEST(CNTextBuffer, GrowsInChunksAndAssemblesOnce) {
    CNTextBuffer buffer;
    EXPECT_STREQ(buffer.GetText(), L"");
    CString expected;
    for (int i = 0; i < 70000; ++i) {
        wchar_t one[2] = {static_cast<wchar_t>(L'a' + i % 26), 0};
        ASSERT_TRUE(buffer.Append(one));
        expected.push_back(one[0]);
    }
    EXPECT_EQ(buffer.GetLength(), 70000);
    ASSERT_EQ(buffer.GetChunkCount(), 2);
    EXPECT_EQ(buffer.GetChunkCapacity(0), 65536);
    EXPECT_EQ(buffer.GetChunkCapacity(1), 65536);
    EXPECT_EQ(buffer.GetText(), expected);
    EXPECT_EQ(buffer.GetChunkCount(), 1);
    EXPECT_EQ(buffer.GetChunkCapacity(0), 131072);
    EXPECT_EQ(buffer.GetLength(), 70000);

    EXPECT_TRUE(buffer.Append(nullptr));
    EXPECT_TRUE(buffer.Append(L""));
    buffer.Clear();
    EXPECT_EQ(buffer.GetLength(), 0);
    EXPECT_EQ(buffer.GetChunkCount(), 0);
}

wchar_t* HeapText(const wchar_t* text) {
    size_t length = std::wcslen(text);
    wchar_t* heap = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
    std::memcpy(heap, text, (length + 1) * sizeof(wchar_t));
    return heap;
}

TEST(CNTextBuffer, TakesOverHeapBuffers) {
    CNTextBuffer buffer;
    wchar_t* first = HeapText(L"hello");
    ASSERT_TRUE(buffer.Append(first, 5, TRUE)); // nothing to fill: becomes a chunk as it is
    EXPECT_EQ(buffer.GetChunkCount(), 1);
    EXPECT_EQ(buffer.GetChunkCapacity(0), 5);
    EXPECT_EQ(buffer.GetText(), first);

    ASSERT_TRUE(buffer.Append(HeapText(L" world"), 6, TRUE)); // the full chunk is followed
    EXPECT_EQ(buffer.GetChunkCount(), 2);
    EXPECT_EQ(buffer.GetChunkCapacity(1), 6);
    ASSERT_TRUE(buffer.Append(L"!"));
    EXPECT_EQ(buffer.GetChunkCapacity(2), 65536);
    ASSERT_TRUE(buffer.Append(HeapText(L"?"), 1, TRUE)); // fits: copied and freed
    EXPECT_EQ(buffer.GetChunkCount(), 3);
    wchar_t own[] = L"xyz";
    ASSERT_TRUE(buffer.Append(own, 2, FALSE));
    EXPECT_STREQ(buffer.GetText(), L"hello world!?xy");
    EXPECT_EQ(buffer.GetLength(), 15);

    CNTextBuffer initial(L"start");
    EXPECT_STREQ(initial.GetText(), L"start");
}

} // namespace
