// The options pages' rules: accepted field values, the edited copy of the ping settings, the
// host history comparison and the control colour table.
#include <gtest/gtest.h>

#include "settings/CControlColors.h"
#include "settings/CHopwatchPingsValues.h"
#include "settings/options_rules.h"
#include "settings/settings_globals.h"

namespace {

TEST(OptionsRules, IntervalAndTimeoutMustBeAboveZero) {
    DWORD value = 77;
    EXPECT_FALSE(ParsePositiveMs(L"0", &value));
    EXPECT_FALSE(ParsePositiveMs(L"", &value));
    EXPECT_FALSE(ParsePositiveMs(L"  ", &value));
    EXPECT_FALSE(ParsePositiveMs(L"-5", &value));
    EXPECT_FALSE(ParsePositiveMs(L"12a", &value));
    EXPECT_FALSE(ParsePositiveMs(L"4294967296", &value)); // does not fit in 32 bits
    EXPECT_FALSE(ParsePositiveMs(nullptr, &value));
    EXPECT_EQ(77u, value); // refused texts leave the value alone
    EXPECT_TRUE(ParsePositiveMs(L"1", &value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(ParsePositiveMs(L" 250 ", &value));
    EXPECT_EQ(250u, value);
    EXPECT_TRUE(ParsePositiveMs(L"4294967295", &value));
    EXPECT_EQ(4294967295u, value);
}

TEST(OptionsRules, MaxTtlFromOneTo256) {
    DWORD value = 9;
    EXPECT_FALSE(ParseMaxTtl(L"0", &value));
    EXPECT_FALSE(ParseMaxTtl(L"257", &value));
    EXPECT_FALSE(ParseMaxTtl(L"4294967295", &value));
    EXPECT_FALSE(ParseMaxTtl(L"", &value));
    EXPECT_EQ(9u, value);
    EXPECT_TRUE(ParseMaxTtl(L"1", &value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(ParseMaxTtl(L"256", &value));
    EXPECT_EQ(256u, value);
}

TEST(OptionsRules, HostListsCompareExactly) {
    CNTokenList a, b;
    EXPECT_TRUE(SameTokenLists(a, b));
    a.AddTail(L"a,b");
    b.AddTail(L"a");
    b.AddTail(L"b");
    // Joined with commas both would read "a,b".
    EXPECT_FALSE(SameTokenLists(a, b));
    a.RemoveAll();
    a.AddTail(L"a");
    a.AddTail(L"B");
    EXPECT_FALSE(SameTokenLists(a, b)); // letter case counts
    a.RemoveAll();
    a.AddTail(L"b");
    a.AddTail(L"a");
    EXPECT_FALSE(SameTokenLists(a, b)); // so does the order
    a.RemoveAll();
    a.AddTail(b);
    EXPECT_TRUE(SameTokenLists(a, b));
    a.AddTail(L"");
    EXPECT_FALSE(SameTokenLists(a, b));
}

// The ping settings globals, put back after each test.
class PingsValues : public ::testing::Test {
protected:
    void SetUp() override {
        g_dwPingIntervalMS = 1000;
        g_dwPingTimeoutMS = 5000;
        g_bReverseDNS = 1;
        g_dwMaxTTL = 32;
    }
    void TearDown() override {
        g_dwPingIntervalMS = m_interval;
        g_dwPingTimeoutMS = m_timeout;
        g_bReverseDNS = m_dns;
        g_dwMaxTTL = m_ttl;
    }
    DWORD m_interval = g_dwPingIntervalMS;
    DWORD m_timeout = g_dwPingTimeoutMS;
    int m_dns = g_bReverseDNS;
    DWORD m_ttl = g_dwMaxTTL;
};

TEST_F(PingsValues, EditsKeepTheLastAcceptedValueAndReachTheGlobalsOnlyOnApply) {
    CHopwatchPingsValues values;
    EXPECT_EQ(CHopwatchPingsValues::kSame, values.TakeText(values.kInterval, L"1000"));
    EXPECT_EQ(CHopwatchPingsValues::kRefused, values.TakeText(values.kInterval, L"0"));
    EXPECT_EQ(1000u, values.GetValue(values.kInterval));
    EXPECT_EQ(CHopwatchPingsValues::kChanged, values.TakeText(values.kInterval, L"10"));
    EXPECT_EQ(CHopwatchPingsValues::kRefused, values.TakeText(values.kInterval, L"1x"));
    EXPECT_EQ(10u, values.GetValue(values.kInterval));

    EXPECT_EQ(CHopwatchPingsValues::kRefused, values.TakeText(values.kMaxTtl, L"257"));
    EXPECT_EQ(CHopwatchPingsValues::kChanged, values.TakeText(values.kMaxTtl, L"256"));
    EXPECT_EQ(CHopwatchPingsValues::kRefused, values.TakeText(values.kTimeout, L""));
    EXPECT_EQ(CHopwatchPingsValues::kChanged, values.TakeText(values.kTimeout, L"250"));
    EXPECT_FALSE(values.TakeReverseDns(TRUE));
    EXPECT_TRUE(values.TakeReverseDns(FALSE));

    EXPECT_EQ(1000u, g_dwPingIntervalMS);
    values.Apply();
    EXPECT_EQ(10u, g_dwPingIntervalMS);
    EXPECT_EQ(250u, g_dwPingTimeoutMS);
    EXPECT_EQ(0, g_bReverseDNS);
    EXPECT_EQ(256u, g_dwMaxTTL);
}

TEST_F(PingsValues, AStoredValueOutOfRangeIsHeldUntilReplaced) {
    g_dwMaxTTL = 0;
    CHopwatchPingsValues values;
    EXPECT_EQ(0u, values.GetValue(values.kMaxTtl));
    EXPECT_EQ(CHopwatchPingsValues::kRefused, values.TakeText(values.kMaxTtl, L"0"));
    values.Apply();
    EXPECT_EQ(0u, g_dwMaxTTL); // applying other fields does not invent a TTL
    EXPECT_EQ(CHopwatchPingsValues::kChanged, values.TakeText(values.kMaxTtl, L"30"));
}

TEST(ControlColors, EntriesBrushesAndRemoval) {
    CControlColors colors;
    colors.SetColors(0, kInvalidFieldTextColor, kInvalidFieldBkColor); // id 0 is no control
    EXPECT_EQ(0, colors.GetCount());

    colors.SetColors(1009, kInvalidFieldTextColor, kInvalidFieldBkColor);
    colors.SetColors(1011, kInvalidFieldTextColor, kInvalidFieldBkColor);
    ASSERT_EQ(2, colors.GetCount());
    const CControlColors::SEntry* entry = colors.Find(1009);
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(0x99FFFFu, entry->m_textColor);
    EXPECT_EQ(0x003399u, entry->m_bkColor);
    ASSERT_NE(nullptr, entry->m_brush);
    CControlColors::Handle brush = entry->m_brush;

    // The same colours again, or only a new text colour: the brush stays.
    colors.SetColors(1009, kInvalidFieldTextColor, kInvalidFieldBkColor);
    colors.SetColors(1009, 0x000000, kInvalidFieldBkColor);
    EXPECT_EQ(brush, colors.Find(1009)->m_brush);
    EXPECT_EQ(0u, colors.Find(1009)->m_textColor);
    EXPECT_EQ(entry, colors.Find(1009)); // updated in place
    // A new background makes a new brush.
    colors.SetColors(1009, 0x000000, 0x112233);
    EXPECT_EQ(0x112233u, colors.Find(1009)->m_bkColor);
    EXPECT_NE(nullptr, colors.Find(1009)->m_brush);

    colors.SetColors(1009, CControlColors::kDefaultColor, CControlColors::kDefaultColor);
    EXPECT_EQ(nullptr, colors.Find(1009));
    EXPECT_EQ(1, colors.GetCount());
    // Removing what is not there changes nothing; one default colour alone is no removal.
    colors.SetColors(1009, CControlColors::kDefaultColor, CControlColors::kDefaultColor);
    colors.SetColors(1011, CControlColors::kDefaultColor, 0x000001);
    EXPECT_EQ(1, colors.GetCount());
    // The remaining brushes go with the table (ASan reports them otherwise).
}

} // namespace
