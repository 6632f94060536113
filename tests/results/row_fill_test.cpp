// Texts, image, colours and item data of one results row filled from a hop record.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "results/CHopwatchMemoryList.h"
#include "results/hopwatch_colors.h"
#include "results/row_fill.h"

namespace {

DWORD NetworkAddress(BYTE a, BYTE b, BYTE c, BYTE d) {
    const BYTE bytes[4] = {a, b, c, d};
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

SHopwatchHost Hop(DWORD sent, DWORD received, DWORD lost) {
    SHopwatchHost host;
    host.version = 7;
    host.ttl = 3;
    host.image = kImageAnswering;
    host.address = NetworkAddress(192, 0, 2, 7);
    host.sent = sent;
    host.received = received;
    host.lost = lost;
    host.lastRtt = 0.0125;
    host.minRtt = 0.0125;
    host.maxRtt = 0.0125;
    host.sumRtt = 0.0125 * received;
    return host;
}

class RowFill : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_list.InsertItem(0));
        ASSERT_TRUE(m_list.ResizeRowStore(1));
    }
    const CString& Fill(const SHopwatchHost& host, int column) {
        FillHopwatchRow(m_list, 0, host, m_maxima);
        return m_list.GetText(0, column);
    }
    COLORREF Color(int column) const { return m_list.GetCellColor(0, column); }

    CHopwatchMemoryList m_list;
    SHopwatchColumnMaxima m_maxima;
};

} // namespace

TEST_F(RowFill, AddressTtlAndImage) {
    SHopwatchHost host = Hop(1, 1, 0);
    EXPECT_EQ(L"192.0.2.7", Fill(host, kColAddress));
    EXPECT_EQ(L"3", m_list.GetText(0, kColTtl));
    EXPECT_EQ(kImageAnswering, m_list.GetItemImage(0));

    host.image = kImageAlternative;
    host.ttl = 0;
    EXPECT_EQ(L"  192.0.2.7", Fill(host, kColAddress));
    EXPECT_EQ(L"", m_list.GetText(0, kColTtl));
    EXPECT_EQ(kImageAlternative, m_list.GetItemImage(0));

    // Unknown and split-aggregate addresses are empty, never just the indentation.
    host.address = kHopwatchNone;
    EXPECT_EQ(L"", Fill(host, kColAddress));
    host.address = 0;
    EXPECT_EQ(L"", Fill(host, kColAddress));
    host.image = kImageSplit;
    EXPECT_EQ(L"", Fill(host, kColAddress));
}

TEST_F(RowFill, LossPercentTruncatesAndIsColouredByTheRamp) {
    EXPECT_EQ(L"25%", Fill(Hop(4, 3, 1), kColLoss));
    EXPECT_EQ(StatisticsColor(0.25), Color(kColLoss));
    EXPECT_EQ(L"33%", Fill(Hop(3, 2, 1), kColLoss));
    EXPECT_EQ(StatisticsColor(0.33), Color(kColLoss));
    EXPECT_EQ(L"100%", Fill(Hop(3, 0, 3), kColLoss));
    EXPECT_EQ(0x9999FFu, Color(kColLoss));
    EXPECT_EQ(L"0%", Fill(Hop(3, 3, 0), kColLoss));
    EXPECT_EQ(0x99FF99u, Color(kColLoss));

    // Long runs: lost * 100 no longer fits in 32 bits.
    EXPECT_EQ(L"50%", Fill(Hop(100000000, 50000000, 50000000), kColLoss));
    EXPECT_EQ(L"100,000,000", m_list.GetText(0, kColSent));

    // Nothing sent: Loss and Lost empty and white.
    EXPECT_EQ(L"", Fill(Hop(0, 0, 0), kColLoss));
    EXPECT_EQ(L"", m_list.GetText(0, kColLost));
    EXPECT_EQ(kColorWhite, Color(kColLoss));
    EXPECT_EQ(kColorWhite, Color(kColLost));
    EXPECT_EQ(L"0", m_list.GetText(0, kColSent));

    // Sent but nothing answered or lost yet: no percentage, but the lost count shows.
    EXPECT_EQ(L"", Fill(Hop(5, 0, 0), kColLoss));
    EXPECT_EQ(kColorWhite, Color(kColLoss));
    EXPECT_EQ(L"0", m_list.GetText(0, kColLost));
}

TEST_F(RowFill, LostIsColouredAgainstTheColumnMaximum) {
    Fill(Hop(10, 10, 0), kColLost);
    EXPECT_EQ(0x99FF99u, Color(kColLost)); // no hop lost anything

    m_maxima.lost = 10;
    EXPECT_EQ(L"10", Fill(Hop(20, 10, 10), kColLost));
    EXPECT_EQ(0x9999FFu, Color(kColLost));
    EXPECT_EQ(L"5", Fill(Hop(20, 15, 5), kColLost));
    EXPECT_EQ(0x66FFFFu, Color(kColLost));
    Fill(Hop(20, 20, 0), kColLost);
    EXPECT_EQ(0x99FF99u, Color(kColLost));
}

TEST_F(RowFill, TimesInMillisecondsGroupedAndColoured) {
    m_maxima.lastRtt = m_maxima.minRtt = m_maxima.avgRtt = m_maxima.maxRtt = 0.025;
    SHopwatchHost host = Hop(2, 2, 0);
    EXPECT_EQ(L"12.500", Fill(host, kColLastRtt));
    EXPECT_EQ(L"12.500", m_list.GetText(0, kColAvgRtt));
    for (int column = kColLastRtt; column <= kColMaxRtt; ++column)
        EXPECT_EQ(0x66FFFFu, Color(column)) << column;

    host.lastRtt = 1.2345678;
    host.maxRtt = 1.2345678;
    host.sumRtt = 0.0125 + 0.0005; // average 6.5 ms
    EXPECT_EQ(L"1,234.568", Fill(host, kColLastRtt));
    EXPECT_EQ(L"1,234.568", m_list.GetText(0, kColMaxRtt));
    EXPECT_EQ(L"6.500", m_list.GetText(0, kColAvgRtt));
    EXPECT_EQ(L"12.500", m_list.GetText(0, kColMinRtt));

    // A missing value leaves its cell empty and white.
    host.lastRtt = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(L"", Fill(host, kColLastRtt));
    EXPECT_EQ(kColorWhite, Color(kColLastRtt));

    // No replies: every time cell is empty and white, whatever the record holds.
    host = Hop(4, 0, 4);
    host.lastRtt = 0.0125;
    for (int column = kColLastRtt; column <= kColMaxRtt; ++column) {
        EXPECT_EQ(L"", Fill(host, column)) << column;
        EXPECT_EQ(kColorWhite, Color(column)) << column;
    }
}

TEST_F(RowFill, NeutralColumnsItemDataAndNote) {
    m_maxima.version = 2;
    m_maxima.lost = 1;
    SHopwatchHost host = Hop(4, 3, 1);
    host.version = 0xFFFFFFFF;
    host.name = L"router.example";
    host.note = L"Destination host unreachable";
    Fill(host, kColNote);
    EXPECT_EQ(1u, m_list.GetItemData(0)); // sum modulo 2^32
    EXPECT_EQ(L"router.example", m_list.GetText(0, kColHostName));
    EXPECT_EQ(L"Destination host unreachable", m_list.GetText(0, kColNote));
    ASSERT_EQ(kHopwatchColumnCount, m_list.GetCellColors(0)->GetSize());
    for (int column : {kColTtl, kColAddress, kColHostName, kColSent, kColReceived, kColNote})
        EXPECT_EQ(kColorWhite, Color(column)) << column;
    EXPECT_NE(kColorWhite, Color(kColLost));
}
