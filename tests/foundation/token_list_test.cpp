// Tests of the tokenizer: separators, command lines, lines, quoting and the multi-string layout.
#include <gtest/gtest.h>

#include <vector>

#include "foundation/CNTokenList.h"

namespace {

std::vector<CString> Tokens(const CNTokenList& list) {
    std::vector<CString> tokens;
    for (const CNTokenList::SNode* node = list.GetHead(); node != nullptr; node = node->m_pNext)
        tokens.push_back(node->m_data);
    return tokens;
}

typedef std::vector<CString> Expected;

TEST(CNTokenList, SplitsAtSeparatorCharactersAndStrings) {
    EXPECT_EQ(Tokens(CNTokenList(L"HKCU\\Software\\\\X", L"\\")),
              (Expected{L"HKCU", L"Software", L"", L"X"}));
    EXPECT_EQ(Tokens(CNTokenList(L"a,,b,", L",")), (Expected{L"a", L"", L"b", L""}));
    EXPECT_EQ(Tokens(CNTokenList(L"a;b,c", L",;")), (Expected{L"a", L"b", L"c"}));
    EXPECT_EQ(Tokens(CNTokenList(L"", L",")), (Expected{L""}));
    EXPECT_EQ(Tokens(CNTokenList(L"a,b", L"")), (Expected{L"a,b"}));
    EXPECT_EQ(Tokens(CNTokenList(L"a,b", nullptr)), (Expected{L"a,b"}));
    EXPECT_EQ(CNTokenList(nullptr, L",").GetCount(), 0);

    CNTokenList separators;
    separators.AddTail(L"ab");
    separators.AddTail(L"a");
    CNTokenList list;
    list.Split(L"xaby", separators);
    EXPECT_EQ(Tokens(list), (Expected{L"x", L"y"}));

    // A separator that stops occurring drops out while the others go on; an empty one is ignored
    // rather than matching forever.
    CNTokenList mixed;
    mixed.AddTail(L"--");
    mixed.AddTail(L"");
    mixed.AddTail(L"+");
    list.RemoveAll();
    list.Split(L"a--b+c+d", mixed);
    EXPECT_EQ(Tokens(list), (Expected{L"a", L"b", L"c", L"d"}));
    list.RemoveAll();
    list.Split(L"a+b", CNTokenList());
    EXPECT_EQ(Tokens(list), (Expected{L"a+b"}));
}

TEST(CNTokenList, ParsesCommandLinesAndLines) {
    CNTokenList args;
    args.ParseCommandLine(L"/int 500 \"my host\" x\"y z\"");
    EXPECT_EQ(Tokens(args), (Expected{L"/int", L"500", L"my host", L"xy z"}));
    args.RemoveAll();
    args.ParseCommandLine(L"  ");
    EXPECT_EQ(args.GetCount(), 0);
    args.ParseCommandLine(L"\"\"");
    EXPECT_EQ(Tokens(args), (Expected{L""}));
    args.RemoveAll();
    args.ParseCommandLine(L"\tC:\\dir\\ \"open"); // no escapes; an open quote runs to the end
    EXPECT_EQ(Tokens(args), (Expected{L"C:\\dir\\", L"open"}));

    CNTokenList lines;
    lines.SplitLines(L"a\r\nb\rc\n");
    EXPECT_EQ(Tokens(lines), (Expected{L"a", L"b", L"c", L""}));
    lines.RemoveAll();
    lines.SplitLines(L"\n\r\r\nx");
    EXPECT_EQ(Tokens(lines), (Expected{L"", L"", L"", L"x"}));
    lines.RemoveAll();
    lines.SplitLines(nullptr);
    EXPECT_EQ(lines.GetCount(), 0);
}

TEST(CNTokenList, QuotesAndJoins) {
    EXPECT_EQ(CNTokenList::QuoteToken(L"a\"b"), L"\"a\\\"b\"");
    EXPECT_EQ(CNTokenList::QuoteToken(L"my host"), L"\"my host\"");
    EXPECT_EQ(CNTokenList::QuoteToken(L"plain.host"), L"plain.host");
    EXPECT_EQ(CNTokenList::QuoteToken(L"a\\b"), L"\"a\\\\b\"");
    EXPECT_EQ(CNTokenList::QuoteToken(L"a,b"), L"\"a,b\"");
    EXPECT_EQ(CNTokenList::QuoteToken(L""), L"");

    CNTokenList list;
    EXPECT_EQ(list.Join(L", "), L"");
    list.AddTail(L"a");
    list.AddTail(L"b c");
    EXPECT_EQ(list.ToQuotedList(), L"a,\"b c\"");
    EXPECT_EQ(list.Join(L"|"), L"a|b c");
    EXPECT_EQ(list.Join(nullptr), L"ab c");
}

TEST(CNTokenList, RoundTripsTheMultiStringLayout) {
    CNTokenList list;
    wchar_t buffer[16];
    EXPECT_EQ(list.ToMultiSz(buffer, 16), 0);
    list.AddTail(L"ab");
    list.AddTail(L"");
    list.AddTail(L"c");
    const wchar_t expected[] = {L'a', L'b', 0, L'c', 0, 0};
    buffer[5] = L'#';
    EXPECT_EQ(list.ToMultiSz(buffer, 5), -6);
    EXPECT_EQ(buffer[5], L'#'); // nothing written
    EXPECT_EQ(list.ToMultiSz(nullptr, 0), -6);
    ASSERT_EQ(list.ToMultiSz(buffer, 6), 6);
    EXPECT_EQ(CString(buffer, 6), CString(expected, 6));

    CNTokenList back;
    back.FromMultiSz(buffer);
    EXPECT_EQ(Tokens(back), (Expected{L"ab", L"c"}));
    back.FromMultiSz(nullptr);
    EXPECT_EQ(back.GetCount(), 2);
}

TEST(CNTokenList, EditsTheList) {
    CNTokenList list(L",a,,b,a", L",");
    EXPECT_EQ(list.RemoveEmpty(), 2);
    EXPECT_EQ(Tokens(list), (Expected{L"a", L"b", L"a"}));
    EXPECT_EQ(list.Find(L"A"), nullptr);
    EXPECT_EQ(list.Find(L"a"), list.GetHead());
    EXPECT_TRUE(list.Remove(L"a"));
    EXPECT_FALSE(list.Remove(L"z"));
    EXPECT_EQ(Tokens(list), (Expected{L"b", L"a"}));
    list.AddHead(L"0");
    list.AddTail(list); // appending a list to itself doubles it once
    EXPECT_EQ(Tokens(list), (Expected{L"0", L"b", L"a", L"0", L"b", L"a"}));
    EXPECT_EQ(list.RemoveHead(), L"0");
    list.RemoveAll();
    EXPECT_EQ(list.RemoveHead(), L"");
}

} // namespace
