// The results list refresh: inserting, refilling only changed rows, deleting from the end.
#include <gtest/gtest.h>

#include <vector>

#include "results/CHopwatchRowRefresher.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRecordRows.h"

namespace {

// Records which items were deleted and how many rows were filled (the fill begins with the TTL).
class CLoggingList : public CHopwatchMemoryList {
public:
    BOOL DeleteItem(int item) override {
        m_deleted.push_back(item);
        return CHopwatchMemoryList::DeleteItem(item);
    }
    BOOL SetItemText(int item, int column, LPCWSTR text) override {
        m_fills += column == kColTtl ? 1 : 0;
        return CHopwatchMemoryList::SetItemText(item, column, text);
    }

    std::vector<int> m_deleted;
    int m_fills = 0;
};

class ListRefresh : public ::testing::Test {
protected:
    void SetUpRows(int count) {
        ASSERT_TRUE(m_rows.SetRowCount(count));
        for (int r = 0; r < count; ++r) {
            SHopwatchHost& host = m_rows.Host(r);
            host.version = 1;
            host.ttl = static_cast<DWORD>(r);
            host.sent = 1;
        }
    }
    int Refresh() { return m_refresher.Refresh(m_rows, m_list); }
    // Marks a row's record changed, as the engine would: its version and the data version move.
    void Touch(int row) {
        ++m_rows.Host(row).version;
        m_rows.SetDataVersion(m_rows.GetDataVersion() + 1);
    }

    CHopwatchRecordRows m_rows;
    CLoggingList m_list;
    CHopwatchRowRefresher m_refresher;
};

} // namespace

TEST_F(ListRefresh, RowsAreInsertedAsTheyAppearAndDeletedFromTheEnd) {
    SetUpRows(7);
    m_rows.SetVisibleRows(2);
    EXPECT_EQ(1, Refresh());
    EXPECT_EQ(2, m_list.GetItemCount());
    m_rows.SetVisibleRows(7);
    EXPECT_EQ(1, Refresh());
    ASSERT_EQ(7, m_list.GetItemCount());
    EXPECT_EQ(7, m_list.GetRowStoreSize());
    EXPECT_EQ(L"", m_list.GetText(0, kColTtl));
    for (int r = 1; r < 7; ++r)
        EXPECT_EQ(std::to_wstring(r), m_list.GetText(r, kColTtl));
    EXPECT_EQ(kHopwatchColumnCount, m_list.GetCellColors(6)->GetSize());

    m_rows.SetVisibleRows(5);
    EXPECT_EQ(1, Refresh());
    EXPECT_EQ((std::vector<int>{6, 5}), m_list.m_deleted);
    EXPECT_EQ(5, m_list.GetItemCount());
    EXPECT_EQ(5, m_list.GetRowStoreSize());
}

TEST_F(ListRefresh, RefillsOnlyWhatChanged) {
    SetUpRows(4);
    EXPECT_EQ(1, Refresh());
    EXPECT_EQ(4, m_list.m_fills);
    EXPECT_EQ(0, m_list.GetRedrawFirst());
    EXPECT_EQ(3, m_list.GetRedrawLast());

    // Nothing moved: nothing copied, filled or redrawn, no change reported.
    int copies = m_rows.GetCopyCount();
    int redraws = m_list.GetRedrawCount();
    EXPECT_EQ(0, Refresh());
    EXPECT_EQ(4, m_list.m_fills);
    EXPECT_EQ(copies, m_rows.GetCopyCount());
    EXPECT_EQ(redraws, m_list.GetRedrawCount());

    // A change that moves a maximum the colours are relative to refills every row once; the
    // texts show the new record, and the refill alone is not a change of the list's shape.
    m_rows.Host(2).sent = 1234;
    SHopwatchColumnMaxima maxima;
    maxima.lost = 3;
    m_rows.SetColumnMaxima(maxima);
    Touch(2);
    EXPECT_EQ(0, Refresh());
    EXPECT_EQ(8, m_list.m_fills);
    EXPECT_EQ(L"1,234", m_list.GetText(2, kColSent));
    EXPECT_EQ(0, m_list.GetRedrawFirst());
    EXPECT_EQ(3, m_list.GetRedrawLast());
    EXPECT_EQ(0, Refresh());
    EXPECT_EQ(8, m_list.m_fills);

    // A change that moves no such maximum refills the changed row alone; the others' item data
    // still follows the data version, as a fresh fill would store it.
    m_rows.Host(3).sent = 7;
    Touch(3);
    EXPECT_EQ(0, Refresh());
    EXPECT_EQ(9, m_list.m_fills);
    EXPECT_EQ(L"7", m_list.GetText(3, kColSent));
    EXPECT_EQ(3, m_list.GetRedrawFirst());
    EXPECT_EQ(3, m_list.GetRedrawLast());
    EXPECT_EQ(m_rows.Host(0).version + m_rows.GetDataVersion(), m_list.GetItemData(0));
    EXPECT_EQ(0, Refresh());
    EXPECT_EQ(9, m_list.m_fills);

    // A record that moved without the data version refills that row alone.
    ++m_rows.Host(1).version;
    EXPECT_EQ(0, Refresh());
    EXPECT_EQ(10, m_list.m_fills);
    EXPECT_EQ(1, m_list.GetRedrawFirst());
    EXPECT_EQ(1, m_list.GetRedrawLast());

    // A moved row table is reported once.
    m_rows.BumpRowsVersion();
    EXPECT_EQ(1, Refresh());
    EXPECT_EQ(0, Refresh());
}

TEST_F(ListRefresh, RebuiltRowsNeverKeepAnotherRecordsTextsOrGraph) {
    SetUpRows(2);
    m_rows.Host(1).version = 10;
    m_rows.Host(1).name = L"old.example";
    m_rows.SetDataVersion(100);
    m_rows.History(1).Add(1, 0.010);
    ASSERT_EQ(1, Refresh());
    CHopwatchHist4Show* show = m_list.GetHistory(1);
    show->wanted = 4;
    Touch(0);
    Refresh();
    ASSERT_EQ(1, show->values.GetSize());
    EXPECT_DOUBLE_EQ(0.010, show->values[0]);

    // The row table is rebuilt and row 1 now holds another record whose version plus the new
    // data version equals the old item data, with a history of the same version.
    m_rows.Host(1).version = 9;
    m_rows.Host(1).name = L"new.example";
    m_rows.History(1) = CHopwatchHistory();
    m_rows.History(1).Add(7, 0.020);
    m_rows.SetDataVersion(m_list.GetItemData(1) - 9);
    m_rows.BumpRowsVersion();
    EXPECT_EQ(1, Refresh());
    EXPECT_EQ(L"new.example", m_list.GetText(1, kColHostName));
    ASSERT_EQ(1, show->values.GetSize());
    EXPECT_DOUBLE_EQ(0.020, show->values[0]);
}

TEST_F(ListRefresh, HistoryWindowFollowsItsWidthAndNewOutcomes) {
    SetUpRows(1);
    m_rows.History(0).Add(1, 0.004);
    m_rows.History(0).Add(2, 0.008);
    Refresh();
    CHopwatchHist4Show* show = m_list.GetHistory(0);
    ASSERT_NE(nullptr, show);
    EXPECT_EQ(0, show->values.GetSize()); // nothing wanted before the first drawing

    // The drawing sets its width; the next refresh rebuilds the window and asks for a redraw even
    // though no record changed.
    show->wanted = 8;
    int redraws = m_list.GetRedrawCount();
    EXPECT_EQ(0, Refresh());
    ASSERT_EQ(2, show->values.GetSize());
    EXPECT_DOUBLE_EQ(0.008, show->values[0]);
    EXPECT_DOUBLE_EQ(0.008, show->max);
    EXPECT_EQ(redraws + 1, m_list.GetRedrawCount());
    EXPECT_GE(show->values.GetCapacity(), 8); // reserved once, not per probe

    m_rows.History(0).Add(3, HopwatchNegativeNaN());
    Touch(0);
    Refresh();
    ASSERT_EQ(3, show->values.GetSize());
    EXPECT_EQ(-1.0, show->values[0]);
}
