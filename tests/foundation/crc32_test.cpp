// Tests of the CRC-32 calculator and its process-wide table cache.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "foundation/CNCrc32.h"
#include "foundation/utf.h"

namespace {

// Each test starts and ends with an empty, ready cache.
class CrcCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        CNCrc32::FreeCache();
        CNCrc32::InitCache();
    }
    void TearDown() override { CNCrc32::FreeCache(); }
};

TEST_F(CrcCacheTest, ComputesTheStandardChecksumInPieces) {
    CNCrc32 crc;
    EXPECT_EQ(crc.Update(nullptr, 0), 0x00000000u);
    EXPECT_EQ(crc.Update("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc.GetByteCount(), 9u);

    crc.Reset();
    crc.Update("1234", 4);
    EXPECT_EQ(crc.Update("56789", 5), 0xCBF43926u);

    crc.Reset();
    EXPECT_EQ(crc.UpdateString(L"abc"), 0xAD957AB0u);
    EXPECT_EQ(crc.GetByteCount(), 6u);

    // A character beyond U+FFFF is one surrogate pair (4 bytes) on every platform.
    CNCrc32 wide;
    const BYTE pairBytes[] = {0x3D, 0xD8, 0x00, 0xDE}; // U+1F600 as UTF-16LE
    DWORD expected = wide.Update(pairBytes, sizeof(pairBytes));
    wide.Reset();
    const char16_t pair[] = {0xD83D, 0xDE00};
    EXPECT_EQ(wide.UpdateString(FromUtf16(pair, 2)), expected);

    // A long text crosses the internal feeding buffer without changing the result.
    CString longText(1000, L'x');
    std::vector<BYTE> bytes;
    for (wchar_t c : longText) {
        bytes.push_back(static_cast<BYTE>(c));
        bytes.push_back(0);
    }
    CNCrc32 a;
    CNCrc32 b;
    EXPECT_EQ(a.UpdateString(longText), b.Update(bytes.data(), bytes.size()));
}

TEST_F(CrcCacheTest, ComputesTheTableOnceUnderConcurrentConstruction) {
    const int kThreads = 8;
    const int kPerThread = 200;
    std::vector<std::thread> threads;
    std::vector<int> wrong(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < kPerThread; ++i) {
                CNCrc32 crc;
                if (crc.Update("123456789", 9) != 0xCBF43926u)
                    ++wrong[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(wrong[t], 0);
    EXPECT_EQ(CNCrc32::GetCacheFilledSlots(), 1);
    EXPECT_EQ(CNCrc32::GetCacheSlotPolynomial(0), CNCrc32::kPolynomial);
    // Every construction but the one that stored the table was served from the cache (a thread
    // that computed it in parallel may have missed as well).
    EXPECT_GE(CNCrc32::GetCacheUseCount(0), kThreads * kPerThread - kThreads);
    EXPECT_LE(CNCrc32::GetCacheUseCount(0), kThreads * kPerThread - 1);
}

TEST_F(CrcCacheTest, EvictsTheFirstLeastUsedSlotWhenFull) {
    for (DWORD p = 1; p <= CNCrc32::kCacheSlots; ++p)
        CNCrc32 crc(p);
    ASSERT_EQ(CNCrc32::GetCacheFilledSlots(), CNCrc32::kCacheSlots);
    // Use every slot but 5 and 9 once more: 5 is the first with the smallest count.
    for (DWORD p = 1; p <= CNCrc32::kCacheSlots; ++p) {
        if (p != 6 && p != 10)
            CNCrc32 crc(p);
    }
    EXPECT_EQ(CNCrc32::GetCacheUseCount(5), 0);
    EXPECT_EQ(CNCrc32::GetCacheUseCount(6), 1);

    CNCrc32 newcomer(CNCrc32::kPolynomial);
    EXPECT_EQ(CNCrc32::GetCacheSlotPolynomial(5), CNCrc32::kPolynomial);
    EXPECT_EQ(CNCrc32::GetCacheUseCount(5), 0);
    EXPECT_EQ(CNCrc32::GetCacheSlotPolynomial(9), 10u);
    EXPECT_EQ(newcomer.Update("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(CNCrc32::GetCacheFilledSlots(), CNCrc32::kCacheSlots);
}

TEST(CrcCache, CalculatorsWorkWithoutTheCache) {
    CNCrc32::FreeCache();
    CNCrc32 crc;
    EXPECT_EQ(crc.Update("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(CNCrc32::GetCacheFilledSlots(), 0);
    CNCrc32::InitCache();
    CNCrc32::InitCache(); // idempotent: keeps what is stored
    CNCrc32 first;
    CNCrc32::InitCache();
    EXPECT_EQ(CNCrc32::GetCacheFilledSlots(), 1);
    CNCrc32::FreeCache();
    EXPECT_EQ(CNCrc32::GetCacheFilledSlots(), 0);
    EXPECT_EQ(CNCrc32::GetCacheUseCount(-1), -1);
    EXPECT_EQ(CNCrc32::GetCacheUseCount(CNCrc32::kCacheSlots), -1);
}

} // namespace
