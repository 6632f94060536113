// CNRegistryKey and CNRegistryValue against the registry (Windows) or the file-backed store
// (POSIX).
#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "settings/CNRegistryKey.h"
#include "settings/CNRegistryValue.h"
#include "settings/registry_ops.h"
#include "CRegistryTestArea.h"

namespace {

// Replaces the registry operations for one test and puts the platform's back afterwards.
class CScopedRegistryOps {
public:
    explicit CScopedRegistryOps(const SRegistryOps& ops) { SetRegistryOps(&ops); }
    ~CScopedRegistryOps() { SetRegistryOps(nullptr); }
};

BOOL WriteDword(const CString& path, LPCWSTR name, DWORD number) {
    CNRegistryKey key;
    CNRegistryValue value;
    return key.Open(path.c_str(), kRegReadWrite) && value.SetDword(number) &&
           key.SetValue(name, value);
}

// The value grows once, right before the first read with a buffer: the read must then be retried
// with the size the registry reports.
int g_growReads = 0;
DWORD GrowingQuery(HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size) {
    if (data != nullptr && g_growReads++ == 0) {
        CNRegistryValue bigger;
        bigger.SetString(L"a value that is much longer than the one measured before");
        PlatformRegistryOps().m_pfnSetValue(key, name, bigger.GetType(), bigger.GetData(),
                                            bigger.GetSize());
    }
    return PlatformRegistryOps().m_pfnQueryValue(key, name, type, data, size);
}

// A registry that reports the size of the buffer it was given as the size it needs, twice.
int g_misreports = 0;
DWORD g_triedSizes[8];
DWORD MisreportingQuery(HKEY, LPCWSTR, DWORD* type, BYTE* data, DWORD* size) {
    *type = kRegBinary;
    if (data == nullptr) {
        *size = 16;
        return 0;
    }
    g_triedSizes[g_misreports] = *size;
    if (g_misreports++ < 2)
        return kRegErrorMoreData; // *size unchanged
    data[0] = 0x5A;
    *size = 1;
    return 0;
}

DWORD HugeQuery(HKEY, LPCWSTR, DWORD* type, BYTE* data, DWORD* size) {
    *type = kRegBinary;
    *size = CNRegistryKey::kMaxValueBytes + 1;
    return data == nullptr ? 0 : kRegErrorMoreData;
}

} // namespace

TEST(RegistryKey, RootNamesInAnyCaseNameTheSameKey) {
    CRegistryTestArea area;
    ASSERT_TRUE(WriteDword(area.Path(), L"Marker", 0x1234));
    for (const CString& root : {CString(L"hkcu"), CString(L"HKEY_CURRENT_USER"), CString(L"Hcu")}) {
        CNRegistryKey key;
        CNRegistryValue value;
        ASSERT_TRUE(key.Open((root + L"\\" + area.SubKey()).c_str(), kRegRead)) << root;
        ASSERT_TRUE(key.QueryValue(L"Marker", value)) << root;
        DWORD number = 0;
        EXPECT_TRUE(value.GetDword(&number));
        EXPECT_EQ(number, 0x1234u);
        EXPECT_EQ(key.GetLastErrorCode(), 0u);
    }
    // A path that is only a root name opens the root itself.
    CNRegistryKey root;
    EXPECT_TRUE(root.Open(L"HKCU", kRegRead));
    EXPECT_NE(root.GetHandle(), nullptr);
    EXPECT_TRUE(root.Open(L"hklm", kRegRead));
    // Unknown roots, an empty and a null path are parameter errors, also for the thread.
    for (LPCWSTR bad : {L"HKXX\\Software", L"", L"\\Software", L"Software\\ORVANE"}) {
        CNRegistryKey key;
        EXPECT_FALSE(key.Open(bad, kRegRead)) << bad;
        EXPECT_EQ(key.GetLastErrorCode(), kRegErrorInvalidParameter) << bad;
        EXPECT_EQ(GetLastSystemError(), kRegErrorInvalidParameter);
        EXPECT_EQ(key.GetHandle(), nullptr);
    }
    CNRegistryKey key;
    EXPECT_FALSE(key.Open(static_cast<LPCWSTR>(nullptr), kRegRead));
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorInvalidParameter);
    EXPECT_FALSE(key.Open(static_cast<HKEY>(nullptr), L"x", kRegRead));
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorInvalidParameter);
}

TEST(RegistryKey, ReadingNeverCreatesWritingCreatesEveryComponent) {
    CRegistryTestArea area;
    CString deep = area.Path() + L"\\one\\two";
    CNRegistryKey key;
    EXPECT_FALSE(key.Open(deep.c_str(), kRegRead));
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorFileNotFound);
    EXPECT_EQ(GetLastSystemError(), kRegErrorFileNotFound);
    // Nothing along the path was made by the failed open.
    EXPECT_FALSE(key.Open(area.Path().c_str(), kRegRead));

    ASSERT_TRUE(key.Open(deep.c_str(), kRegReadWrite));
    EXPECT_TRUE(key.IsCreated());
    EXPECT_EQ(key.GetAccess(), kRegReadWrite);
    EXPECT_EQ(key.GetLastErrorCode(), 0u);
    ASSERT_TRUE(key.Open(deep.c_str(), kRegReadWrite)); // closes the first handle
    EXPECT_FALSE(key.IsCreated());
    EXPECT_TRUE(key.Open(deep.c_str(), kRegRead));
    EXPECT_FALSE(key.IsCreated());
    // Relative opening from an open key; an empty sub path opens the key itself.
    CNRegistryKey parent;
    ASSERT_TRUE(parent.Open(area.Path().c_str(), kRegRead));
    CNRegistryKey child;
    EXPECT_TRUE(child.Open(parent.GetHandle(), L"one\\two", kRegRead));
    EXPECT_TRUE(child.Open(parent.GetHandle(), L"", kRegRead));
    EXPECT_FALSE(child.Open(parent.GetHandle(), L"one\\three", kRegRead));
    EXPECT_EQ(child.GetLastErrorCode(), kRegErrorFileNotFound);
}

TEST(RegistryKey, ClosedKeysRefuseWorkAndCloseClearsTheState) {
    CNRegistryKey key;
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorInvalidHandle);
    CNRegistryValue value;
    EXPECT_FALSE(key.QueryValue(L"x", value));
    EXPECT_EQ(GetLastSystemError(), kRegErrorInvalidHandle);
    value.SetDword(1);
    EXPECT_FALSE(key.SetValue(L"x", value));
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorInvalidHandle);
    EXPECT_TRUE(key.Close());
    EXPECT_EQ(key.GetLastErrorCode(), 0u);

    CRegistryTestArea area;
    ASSERT_TRUE(key.Open(area.Path().c_str(), kRegReadWrite));
    EXPECT_TRUE(key.IsCreated());
    EXPECT_TRUE(key.Close());
    EXPECT_EQ(key.GetHandle(), nullptr);
    EXPECT_FALSE(key.IsCreated());
    EXPECT_EQ(key.GetAccess(), 0u);
    // A key opened for reading cannot write.
    ASSERT_TRUE(key.Open(area.Path().c_str(), kRegRead));
    EXPECT_FALSE(key.SetValue(L"x", value));
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorAccessDenied);
}

TEST(RegistryValue, ValuesRoundTripIncludingEmptyAndMissingOnes) {
    CRegistryTestArea area;
    CNRegistryKey key;
    ASSERT_TRUE(key.Open(area.Path().c_str(), kRegReadWrite));
    CNRegistryValue value;
    ASSERT_TRUE(value.SetString(L"x\x00e9y"));
    EXPECT_EQ(value.GetSize(), 8u); // three characters and the NUL, two bytes each
    ASSERT_TRUE(key.SetValue(L"Text", value));
    ASSERT_TRUE(value.SetData(kRegBinary, nullptr, 0));
    ASSERT_TRUE(key.SetValue(L"Empty", value));
    ASSERT_TRUE(value.SetString(L"default"));
    ASSERT_TRUE(key.SetValue(nullptr, value));

    CNRegistryValue read;
    ASSERT_TRUE(key.QueryValue(L"text", read)); // value names ignore case
    EXPECT_EQ(read.GetType(), kRegSz);
    EXPECT_EQ(read.GetSize(), 8u);
    EXPECT_EQ(read.GetString(), L"x\x00e9y");
    // A value of size 0 is a success without data.
    ASSERT_TRUE(key.QueryValue(L"Empty", read));
    EXPECT_EQ(read.GetType(), kRegBinary);
    EXPECT_EQ(read.GetSize(), 0u);
    EXPECT_EQ(read.GetData(), nullptr);
    EXPECT_EQ(read.GetString(), L"");
    EXPECT_EQ(key.GetLastErrorCode(), 0u);
    // A null name is the key's default value.
    ASSERT_TRUE(key.QueryValue(nullptr, read));
    EXPECT_EQ(read.GetString(), L"default");
    EXPECT_FALSE(key.QueryValue(L"Missing", read));
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorFileNotFound);
    EXPECT_EQ(read.GetData(), nullptr); // the failed read kept nothing
}

TEST(RegistryValue, AValueThatGrowsBeforeTheReadIsReadWhole) {
    CRegistryTestArea area;
    CNRegistryKey key;
    ASSERT_TRUE(key.Open(area.Path().c_str(), kRegReadWrite));
    CNRegistryValue value;
    value.SetString(L"short");
    ASSERT_TRUE(key.SetValue(L"Growing", value));

    SRegistryOps ops = PlatformRegistryOps();
    ops.m_pfnQueryValue = GrowingQuery;
    CScopedRegistryOps scoped(ops);
    g_growReads = 0;
    CNRegistryValue read;
    ASSERT_TRUE(key.QueryValue(L"Growing", read));
    EXPECT_EQ(g_growReads, 2); // the first read was too small and was repeated
    EXPECT_EQ(read.GetString(), L"a value that is much longer than the one measured before");
    EXPECT_EQ(read.GetSize(), 2u * 57);
}

TEST(RegistryValue, MisreportedSizesDoubleUpToTheLimit) {
    SRegistryOps ops = PlatformRegistryOps();
    ops.m_pfnQueryValue = MisreportingQuery;
    CRegistryTestArea area;
    CNRegistryKey key;
    ASSERT_TRUE(key.Open(area.Path().c_str(), kRegReadWrite));
    {
        CScopedRegistryOps scoped(ops);
        g_misreports = 0;
        CNRegistryValue read;
        ASSERT_TRUE(key.QueryValue(L"Any", read));
        ASSERT_EQ(g_misreports, 3);
        EXPECT_EQ(g_triedSizes[0], 16u);
        EXPECT_EQ(g_triedSizes[1], 32u);
        EXPECT_EQ(g_triedSizes[2], 64u);
        EXPECT_EQ(read.GetSize(), 1u);
        EXPECT_EQ(read.GetData()[0], 0x5A);
    }
    ops.m_pfnQueryValue = HugeQuery;
    CScopedRegistryOps scoped(ops);
    CNRegistryValue read;
    EXPECT_FALSE(key.QueryValue(L"Any", read));
    EXPECT_EQ(key.GetLastErrorCode(), kRegErrorInvalidFunction);
}

TEST(RegistryValue, StringsWithoutTheirNulsAreReadWithinTheData) {
    CNRegistryValue value;
    // "ab" without a NUL, and an odd last byte.
    const BYTE unterminated[] = {'a', 0, 'b', 0, 'c'};
    value.SetData(kRegSz, unterminated, sizeof(unterminated));
    EXPECT_EQ(value.GetString(), L"ab");
    CNTokenList tokens;
    value.SetData(kRegMultiSz, unterminated, 4);
    value.GetMultiString(tokens);
    ASSERT_EQ(tokens.GetCount(), 1);
    EXPECT_EQ(tokens.GetHead()->m_data, L"ab");
    // a NUL b, no final NULs: both strings; a, NUL, NUL, b: only a.
    const BYTE multi[] = {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0, 'c', 0};
    tokens.RemoveAll();
    value.SetData(kRegMultiSz, multi, 6);
    value.GetMultiString(tokens);
    EXPECT_EQ(tokens.Join(L","), L"a,b");
    tokens.RemoveAll();
    const BYTE gap[] = {'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0, 0, 0};
    value.SetData(kRegMultiSz, gap, sizeof(gap));
    value.GetMultiString(tokens);
    EXPECT_EQ(tokens.Join(L","), L"a");
    // Empty tokens are not written: they would end the block early.
    CNTokenList list;
    list.AddTail(L"a");
    list.AddTail(L"");
    list.AddTail(L"b");
    value.SetMultiString(list);
    EXPECT_EQ(value.GetSize(), 10u);
    tokens.RemoveAll();
    value.GetMultiString(tokens);
    EXPECT_EQ(tokens.Join(L","), L"a,b");
    value.SetString(nullptr);
    EXPECT_EQ(value.GetSize(), 0u);
    EXPECT_EQ(value.GetType(), kRegSz);
    DWORD number = 7;
    EXPECT_FALSE(value.GetDword(&number));
    EXPECT_EQ(number, 7u);
}
