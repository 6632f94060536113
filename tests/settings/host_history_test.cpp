// The host history: the last started host heads the list once, in its own letter case.
#include <gtest/gtest.h>

#include "settings/host_history.h"

namespace {
CString Joined(const CNTokenList& list) {
    return list.Join(L"|");
}
} // namespace

TEST(HostHistory, ANewHostGoesToTheHead) {
    CNTokenList history;
    PushHostHistory(history, L"a");
    PushHostHistory(history, L"b");
    EXPECT_EQ(CString(L"b|a"), Joined(history));
}

TEST(HostHistory, AnEntryDifferingOnlyInCaseMovesUpInItsNewCase) {
    CNTokenList history;
    history.AddTail(L"one.example");
    history.AddTail(L"Two.Example");
    history.AddTail(L"three.example");
    PushHostHistory(history, L"two.EXAMPLE");
    EXPECT_EQ(CString(L"two.EXAMPLE|one.example|three.example"), Joined(history));
    // Only the first match goes; the head entry itself moves nowhere.
    PushHostHistory(history, L"TWO.example");
    EXPECT_EQ(CString(L"TWO.example|one.example|three.example"), Joined(history));
}

TEST(HostHistory, CaseBlindComparison) {
    EXPECT_TRUE(EqualNoCase(L"Host.EXAMPLE", L"host.example"));
    EXPECT_FALSE(EqualNoCase(L"host", L"hosts"));
    EXPECT_FALSE(EqualNoCase(L"host-a", L"host_a"));
    EXPECT_TRUE(EqualNoCase(L"", L""));
}
