// The settings (the seven and those beside them): defaults, loading, the "write only what
// changed" rule and the stored layout.
#include <gtest/gtest.h>

#include <vector>

#include "foundation/CNCrc32.h"
#include "foundation/text_utils.h"
#include "settings/CNPersistentStore.h"
#include "settings/CNRegistryKey.h"
#include "settings/hopwatch_settings.h"
#include "settings/registry_ops.h"
#include "settings/settings_globals.h"
#include "CRegistryTestArea.h"
#include "support/CSettingsSnapshot.h"

namespace {

// Counts what reaches the registry, and can make one write fail.
int g_creates = 0;
int g_sets = 0;
int g_failSetNumber = 0; // 1-based number of the write that fails; 0: none
DWORD CountingCreate(HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result, DWORD* disp) {
    ++g_creates;
    return PlatformRegistryOps().m_pfnCreateKey(parent, subKey, access, result, disp);
}
DWORD CountingSet(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    if (++g_sets == g_failSetNumber)
        return kRegErrorAccessDenied;
    return PlatformRegistryOps().m_pfnSetValue(key, name, type, data, size);
}

// The settings bound to a private key; the globals are put back afterwards.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        m_ops = PlatformRegistryOps();
        m_ops.m_pfnCreateKey = CountingCreate;
        m_ops.m_pfnSetValue = CountingSet;
        SetRegistryOps(&m_ops);
        g_creates = g_sets = g_failSetNumber = 0;
        PrepareSettingsStore(m_store);
        m_store.SetKeyPath(m_area.Path());
    }
    void TearDown() override { SetRegistryOps(nullptr); }

    // Writes one raw value into the settings key (creating it).
    void Put(LPCWSTR name, DWORD type, const void* data, DWORD size) {
        CNRegistryKey key;
        CNRegistryValue value;
        ASSERT_TRUE(key.Open(m_area.Path().c_str(), kRegReadWrite));
        ASSERT_TRUE(value.SetData(type, data, size));
        ASSERT_TRUE(key.SetValue(name, value));
    }
    // Reads one raw value back; FALSE when it is missing.
    BOOL Get(LPCWSTR name, CNRegistryValue& value) {
        CNRegistryKey key;
        return key.Open(m_area.Path().c_str(), kRegRead) && key.QueryValue(name, value);
    }
    DWORD GetDwordValue(LPCWSTR name) {
        CNRegistryValue value;
        DWORD number = 0xDEADBEEF;
        EXPECT_TRUE(Get(name, value)) << name;
        EXPECT_EQ(value.GetType(), kRegDword) << name;
        value.GetDword(&number);
        return number;
    }

    CSettingsSnapshot m_saved;
    CRegistryTestArea m_area;
    CNPersistentStore m_store;
    SRegistryOps m_ops;
};

} // namespace

TEST_F(Settings, DefaultsAndTheOrderOfRegistration) {
    // The seven, the two of recordings, ProbeMethod and ExportTimeline.
    EXPECT_EQ(m_store.GetCount(), 11);
    EXPECT_EQ(WithTrailingBackslash(kSettingsBaseKey), L"HKCU\\Software\\ORVANE\\Hopwatch\\");
    CNPersistentStore real;
    PrepareSettingsStore(real);
    EXPECT_EQ(real.GetKeyPath(), L"HKCU\\Software\\ORVANE\\Hopwatch\\Settings");
    const wchar_t* names[] = {L"MainWndPos",    L"HostHistory",   L"PingIntervalMS",
                              L"PingTimeoutMS", L"ReverseDNS",    L"ExportIcons",
                              L"MaxTTL",        L"RecordRuns",    L"RecordingsBudgetMB",
                              L"ProbeMethod",   L"ExportTimeline"};
    for (const wchar_t* name : names)
        ASSERT_NE(m_store.Find(name), nullptr) << name;
    EXPECT_EQ(g_dwProbeMethod, kProbeSettingAuto);
    // Preparing again replaces the entries rather than adding to them.
    PrepareSettingsStore(real);
    EXPECT_EQ(real.GetCount(), 11);
}

TEST_F(Settings, FirstRunWritesNothingUntilSomethingChangesThenAllSeven) {
    ASSERT_TRUE(m_store.LoadAll()); // no key: defaults stay
    EXPECT_FALSE(m_store.Find(L"MaxTTL")->IsLoaded());
    ASSERT_TRUE(m_store.SaveAll());
    EXPECT_EQ(g_creates, 0);
    EXPECT_EQ(g_sets, 0);
    CNRegistryKey key;
    EXPECT_FALSE(key.Open(m_area.Path().c_str(), kRegRead)); // nothing was created

    g_dwPingIntervalMS = 500;
    ASSERT_TRUE(m_store.SaveAll());
    // Never loaded, so the unchanged ones are written too; ProbeMethod, which came later, only
    // once it is changed.
    EXPECT_EQ(g_sets, 9);
    CNRegistryValue absent;
    EXPECT_FALSE(Get(L"ProbeMethod", absent));
    EXPECT_FALSE(Get(L"ExportTimeline", absent));
    EXPECT_EQ(GetDwordValue(L"PingIntervalMS"), 500u);
    EXPECT_EQ(GetDwordValue(L"PingTimeoutMS"), g_dwPingTimeoutMS);
    EXPECT_EQ(GetDwordValue(L"ReverseDNS"), static_cast<DWORD>(g_bReverseDNS));
    EXPECT_EQ(GetDwordValue(L"ExportIcons"), static_cast<DWORD>(g_bExportIcons));
    EXPECT_EQ(GetDwordValue(L"MaxTTL"), g_dwMaxTTL);
    EXPECT_EQ(GetDwordValue(L"RecordRuns"), 1u);
    EXPECT_EQ(GetDwordValue(L"RecordingsBudgetMB"), 1024u);
    CNRegistryValue value;
    ASSERT_TRUE(Get(L"MainWndPos", value));
    EXPECT_EQ(value.GetType(), kRegSz);
    EXPECT_EQ(value.GetSize(), (g_strMainWndPos.size() + 1) * 2);
    ASSERT_TRUE(Get(L"HostHistory", value));
    EXPECT_EQ(value.GetType(), kRegMultiSz);

    // Saved once, nothing changed since: the key is not even opened for writing.
    g_creates = g_sets = 0;
    ASSERT_TRUE(m_store.SaveAll());
    EXPECT_EQ(g_creates, 0);
    EXPECT_EQ(g_sets, 0);
    // One change writes that one value only.
    g_dwMaxTTL = 64;
    ASSERT_TRUE(m_store.SaveAll());
    EXPECT_EQ(g_sets, 1);
    EXPECT_EQ(GetDwordValue(L"MaxTTL"), 64u);
    g_dwProbeMethod = kProbeSettingSystem;
    g_sets = 0;
    ASSERT_TRUE(m_store.SaveAll());
    EXPECT_EQ(g_sets, 1);
    EXPECT_EQ(GetDwordValue(L"ProbeMethod"), kProbeSettingSystem);
    // Loaded back like the others.
    g_dwProbeMethod = kProbeSettingAuto;
    ASSERT_TRUE(m_store.LoadAll());
    EXPECT_EQ(g_dwProbeMethod, kProbeSettingSystem);
}

TEST_F(Settings, LoadedValuesReplaceDefaultsAndUnchangedOnesAreNotRewritten) {
    g_strMainWndPos = L"0 1 2 3 4 5 6 7 8 9";
    g_HostHistory.AddTail(L"first.example");
    g_HostHistory.AddTail(L"192.0.2.7");
    g_dwPingIntervalMS = 0; // no range check on the way in or out
    g_dwPingTimeoutMS = 250;
    g_bReverseDNS = 0;
    g_bExportIcons = 0;
    g_dwMaxTTL = 256;
    g_bExportTimeline = 0;
    ASSERT_TRUE(m_store.SaveAll());
    TearDown(); // back to the compiled-in values
    SetRegistryOps(&m_ops);

    CNPersistentStore fresh;
    PrepareSettingsStore(fresh);
    fresh.SetKeyPath(m_area.Path());
    ASSERT_TRUE(fresh.LoadAll());
    EXPECT_EQ(g_strMainWndPos, L"0 1 2 3 4 5 6 7 8 9");
    EXPECT_EQ(g_HostHistory.Join(L","), L"first.example,192.0.2.7");
    EXPECT_EQ(g_dwPingIntervalMS, 0u);
    EXPECT_EQ(g_dwPingTimeoutMS, 250u);
    EXPECT_EQ(g_bReverseDNS, 0);
    EXPECT_EQ(g_bExportIcons, 0);
    EXPECT_EQ(g_dwMaxTTL, 256u);
    EXPECT_EQ(g_bExportTimeline, 0);
    EXPECT_TRUE(fresh.Find(L"HostHistory")->IsLoaded());
    g_creates = g_sets = 0;
    EXPECT_FALSE(fresh.IsAnyModified());
    ASSERT_TRUE(fresh.SaveAll());
    EXPECT_EQ(g_creates + g_sets, 0);
    // Changed and changed back is no change.
    g_bExportIcons = 1;
    EXPECT_TRUE(fresh.IsAnyModified());
    g_bExportIcons = 0;
    EXPECT_FALSE(fresh.IsAnyModified());
    // A history change is noticed through its content, not through a flag.
    g_HostHistory.AddHead(L"new.example");
    ASSERT_TRUE(fresh.SaveAll());
    EXPECT_EQ(g_sets, 1);
}

TEST_F(Settings, ValuesOfTheWrongTypeOrSizeAreIgnoredAndRewritten) {
    const BYTE text[] = {'2', 0, '5', 0, '0', 0, 0, 0};
    Put(L"PingIntervalMS", kRegSz, text, sizeof(text));
    const BYTE shortDword[] = {7, 0};
    Put(L"MaxTTL", kRegDword, shortDword, sizeof(shortDword));
    const BYTE longDword[] = {7, 0, 0, 0, 0, 0, 0, 0};
    Put(L"PingTimeoutMS", kRegDword, longDword, sizeof(longDword));
    const BYTE bigEndian[] = {0, 0, 0, 1}; // taken as stored, not swapped
    Put(L"ReverseDNS", kRegDwordBigEndian, bigEndian, sizeof(bigEndian));
    Put(L"MainWndPos", kRegDword, bigEndian, sizeof(bigEndian));
    const BYTE expand[] = {'%', 0, 'T', 0, '%', 0, 0, 0};
    Put(L"HostHistory", kRegSz, expand, sizeof(expand));

    const DWORD interval = g_dwPingIntervalMS, timeout = g_dwPingTimeoutMS, ttl = g_dwMaxTTL;
    g_HostHistory.AddTail(L"kept");
    m_store.Find(L"HostHistory")->SetModified(FALSE);
    ASSERT_TRUE(m_store.LoadAll());
    EXPECT_EQ(g_dwPingIntervalMS, interval);
    EXPECT_EQ(g_dwPingTimeoutMS, timeout);
    EXPECT_EQ(g_dwMaxTTL, ttl);
    EXPECT_EQ(g_bReverseDNS, 0x01000000);
    EXPECT_EQ(g_HostHistory.Join(L","), L"kept"); // a list is not emptied by a refused value
    EXPECT_FALSE(m_store.Find(L"PingIntervalMS")->IsLoaded());
    EXPECT_TRUE(m_store.Find(L"ReverseDNS")->IsLoaded());

    // Nothing changed: the wrong value stays as it is.
    ASSERT_TRUE(m_store.SaveAll());
    CNRegistryValue value;
    ASSERT_TRUE(Get(L"PingIntervalMS", value));
    EXPECT_EQ(value.GetType(), kRegSz);
    // Any change: the never-loaded values are written in their own types.
    g_sets = 0;
    g_bExportIcons = 0;
    ASSERT_TRUE(m_store.SaveAll());
    EXPECT_EQ(GetDwordValue(L"PingIntervalMS"), interval);
    EXPECT_EQ(GetDwordValue(L"MaxTTL"), ttl);
    ASSERT_TRUE(Get(L"HostHistory", value));
    EXPECT_EQ(value.GetType(), kRegMultiSz);
    EXPECT_EQ(g_sets, 8); // ReverseDNS was loaded and is unchanged
}

TEST_F(Settings, HostHistoryLayout) {
    // a, "", b: the empty string ends the list.
    const BYTE gap[] = {'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0, 0, 0};
    Put(L"HostHistory", kRegMultiSz, gap, sizeof(gap));
    ASSERT_TRUE(m_store.LoadAll());
    EXPECT_EQ(g_HostHistory.Join(L","), L"a");

    // An empty history is stored as two NULs and reads back empty.
    g_HostHistory.RemoveAll();
    ASSERT_TRUE(m_store.SaveAll());
    CNRegistryValue value;
    ASSERT_TRUE(Get(L"HostHistory", value));
    ASSERT_EQ(value.GetSize(), 4u);
    EXPECT_EQ(value.GetData()[0] | value.GetData()[1] | value.GetData()[2] | value.GetData()[3], 0);
    g_HostHistory.AddTail(L"stale");
    ASSERT_TRUE(m_store.LoadAll());
    EXPECT_EQ(g_HostHistory.GetCount(), 0);

    // Items and their NULs, then one more NUL: (sum of lengths + count + 1) * 2 bytes.
    g_HostHistory.AddTail(L"h1.example");
    g_HostHistory.AddTail(L"192.0.2.1");
    ASSERT_TRUE(m_store.SaveAll());
    ASSERT_TRUE(Get(L"HostHistory", value));
    EXPECT_EQ(value.GetSize(), (10u + 9u + 2u + 1u) * 2u);
    // A block without its closing NULs still loads what it holds.
    const BYTE open[] = {'x', 0, 0, 0, 'y', 0};
    Put(L"HostHistory", kRegMultiSz, open, sizeof(open));
    ASSERT_TRUE(m_store.LoadAll());
    EXPECT_EQ(g_HostHistory.Join(L","), L"x,y");
}

TEST_F(Settings, StringsAreReadUpToTheirNulOrTheEndOfTheData) {
    const BYTE noNul[] = {'p', 0, 'o', 0, 's', 0};
    Put(L"MainWndPos", kRegSz, noNul, sizeof(noNul));
    ASSERT_TRUE(m_store.LoadAll());
    EXPECT_EQ(g_strMainWndPos, L"pos");
    const BYTE inner[] = {'a', 0, 0, 0, 'b', 0, 0, 0};
    Put(L"MainWndPos", kRegExpandSz, inner, sizeof(inner));
    ASSERT_TRUE(m_store.LoadAll());
    EXPECT_EQ(g_strMainWndPos, L"a");
    Put(L"MainWndPos", kRegSz, nullptr, 0);
    ASSERT_TRUE(m_store.LoadAll());
    EXPECT_EQ(g_strMainWndPos, L"");
}

TEST_F(Settings, AFailedWriteStopsTheSave) {
    g_dwPingIntervalMS = 750;
    g_failSetNumber = 3; // PingIntervalMS, the third in order
    EXPECT_FALSE(m_store.SaveAll());
    EXPECT_EQ(g_sets, 3);
    CNRegistryValue value;
    EXPECT_TRUE(Get(L"MainWndPos", value));
    EXPECT_TRUE(Get(L"HostHistory", value));
    EXPECT_FALSE(Get(L"PingIntervalMS", value));
    EXPECT_FALSE(Get(L"MaxTTL", value));
    EXPECT_TRUE(m_store.IsAnyModified());
    // The next save writes what is still missing.
    g_failSetNumber = 0;
    g_sets = 0;
    ASSERT_TRUE(m_store.SaveAll());
    EXPECT_EQ(g_sets, 7);
    EXPECT_EQ(GetDwordValue(L"PingIntervalMS"), 750u);
}

TEST_F(Settings, EntriesShowTheirValuesAndChecksumTheirContent) {
    g_HostHistory.RemoveAll();
    g_HostHistory.AddTail(L"ab");
    g_strMainWndPos = L"x y";
    g_bReverseDNS = -3;
    g_dwMaxTTL = 4000000000u;
    PrepareSettingsStore(m_store);
    EXPECT_EQ(m_store.Find(L"HostHistory")->GetValueText(), L"List of 1 items");
    EXPECT_EQ(m_store.Find(L"MainWndPos")->GetValueText(), L"\"x y\"");
    EXPECT_EQ(m_store.Find(L"ReverseDNS")->GetValueText(), L"-3");
    EXPECT_EQ(m_store.Find(L"MaxTTL")->GetValueText(), L"4000000000");
    // The list's checksum covers the count, each length and the UTF-16LE characters.
    const BYTE content[] = {1, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 'b', 0};
    CNCrc32 crc;
    EXPECT_EQ(m_store.Find(L"HostHistory")->GetChecksum(), crc.Update(content, sizeof(content)));
    // SetModified(TRUE) reports a change until the next save; FALSE takes the content as saved.
    CNPersistentStoreEntry* entry = m_store.Find(L"MaxTTL");
    EXPECT_FALSE(entry->IsModified());
    entry->SetModified(TRUE);
    EXPECT_TRUE(entry->IsModified());
    entry->SetModified(FALSE);
    EXPECT_FALSE(entry->IsModified());
}
