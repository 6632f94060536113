// Tests of host resolution, the dotted-address parser and the choice of the local address.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/CNInetHost.h"
#include "engine/inet_address.h"
#include "platform/resolver.h"

namespace {

// An address in network byte order from its four bytes as written.
DWORD Addr(unsigned a, unsigned b, unsigned c, unsigned d) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                    static_cast<unsigned char>(c), static_cast<unsigned char>(d)};
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void ExpectCleared(const CNInetHost& host) {
    EXPECT_EQ(host.GetAddressCount(), 0u);
    EXPECT_EQ(host.GetAliasCount(), 0u);
    EXPECT_EQ(host.GetAddressLength(), 0u);
    EXPECT_EQ(host.GetPort(), -1);
    EXPECT_TRUE(host.GetCanonicalName().empty());
}

} // namespace

TEST(InetHost, DottedAddressResolvesToItselfWithoutLookup) {
    CNInetHost host(L" \t192.0.2.7\r\n");
    ASSERT_EQ(host.GetAddressCount(), 1u);
    EXPECT_EQ(host.GetAddress(0), Addr(192, 0, 2, 7));
    EXPECT_EQ(host.GetAddressLength(), 4u);
    EXPECT_EQ(host.GetAliasCount(), 0u);
    EXPECT_EQ(host.GetCanonicalName(), L"192.0.2.7");
    EXPECT_EQ(host.GetHostText(), L"192.0.2.7");
    EXPECT_EQ(host.GetPort(), -1);

    // inet_addr's error value is a real address here, and leading zeros stay decimal.
    host.SetHost(L"255.255.255.255");
    ASSERT_TRUE(host.Resolve());
    EXPECT_EQ(host.GetAddress(0), Addr(255, 255, 255, 255));
    host.SetHost(L"010.000.002.009");
    ASSERT_TRUE(host.Resolve());
    EXPECT_EQ(host.GetAddress(0), Addr(10, 0, 2, 9));
    EXPECT_EQ(host.GetCanonicalName(), L"10.0.2.9");
}

TEST(InetHost, PortRules) {
    CNInetHost host;
    host.SetHost(L"192.0.2.7 : 65535");
    ASSERT_TRUE(host.Resolve());
    EXPECT_EQ(host.GetPort(), 65535);
    EXPECT_EQ(host.GetHostText(), L"192.0.2.7");
    // Resolving again gives the same answer: the port is not lost with the first split.
    ASSERT_TRUE(host.Resolve());
    EXPECT_EQ(host.GetPort(), 65535);

    host.SetHost(L"192.0.2.7:");
    ASSERT_TRUE(host.Resolve());
    EXPECT_EQ(host.GetPort(), -1);

    for (const wchar_t* bad :
         {L":80", L" : 80", L"192.0.2.7:65536", L"192.0.2.7:123456", L"192.0.2.7:8a",
          L"192.0.2.7:+80", L"192.0.2.7:1:2", L"", L" \t\r\n"}) {
        SCOPED_TRACE(testing::Message() << "text length " << std::wcslen(bad));
        host.SetHost(L"192.0.2.7:80");
        ASSERT_TRUE(host.Resolve());
        host.SetHost(bad);
        EXPECT_FALSE(host.Resolve());
        ExpectCleared(host);
    }
}

TEST(InetHost, NameWithPortResolvesTheName) {
    CNInetHost host(L"localhost:80");
    ASSERT_GE(host.GetAddressCount(), 1u);
    EXPECT_EQ(host.GetPort(), 80);
    EXPECT_EQ(host.GetHostText(), L"localhost");
    EXPECT_EQ(host.GetAddressLength(), 4u);
    EXPECT_FALSE(host.GetCanonicalName().empty());
    bool loopback = false;
    for (DWORD i = 0; i < host.GetAddressCount(); ++i)
        loopback = loopback || host.GetAddress(i) == Addr(127, 0, 0, 1);
    EXPECT_TRUE(loopback);
}

TEST(InetHost, TextWithNulIsRefusedNotCut) {
    // Cutting at the NUL would resolve an address the user never asked for.
    CNInetHost host(CString(L"192.0.2.7\0.evil", 15));
    ExpectCleared(host);
}

TEST(InetHost, DottedParserTakesOnlyFourDecimalParts) {
    DWORD address = 0;
    EXPECT_TRUE(PlatformParseDotted("0.0.0.0", address));
    EXPECT_EQ(address, Addr(0, 0, 0, 0));
    EXPECT_TRUE(PlatformParseDotted("203.0.113.21", address));
    EXPECT_EQ(address, Addr(203, 0, 113, 21));
    for (const char* bad :
         {"", "1.2.3", "127.1", "0x7f.0.0.1", "1.2.3.4.", "256.1.1.1", "1.2.3.4 ", " 1.2.3.4",
          "1..2.3", "1234.1.1.1", "-1.2.3.4", "1.2.3.4.5", "a.b.c.d"}) {
        address = 0x12345678;
        EXPECT_FALSE(PlatformParseDotted(bad, address)) << bad;
        EXPECT_EQ(address, 0x12345678u) << bad;
    }
}

TEST(InetHost, LocalAddressChoice) {
    DWORD chosen = 0;
    const DWORD withLoopback[] = {Addr(127, 0, 0, 1), Addr(192, 0, 2, 10)};
    ASSERT_TRUE(SelectLocalAddress(withLoopback, 2, &chosen));
    EXPECT_EQ(chosen, Addr(192, 0, 2, 10));

    const DWORD two[] = {Addr(192, 0, 2, 10), Addr(10, 0, 0, 5)};
    ASSERT_TRUE(SelectLocalAddress(two, 2, &chosen));
    EXPECT_EQ(chosen, Addr(10, 0, 0, 5));

    // Order of the bytes as written, not of the number in memory.
    const DWORD byteOrder[] = {Addr(2, 0, 0, 1), Addr(1, 0, 0, 2)};
    ASSERT_TRUE(SelectLocalAddress(byteOrder, 2, &chosen));
    EXPECT_EQ(chosen, Addr(1, 0, 0, 2));

    const DWORD unusable[] = {Addr(0, 0, 0, 0), Addr(127, 0, 0, 1)};
    chosen = 0x12345678;
    EXPECT_FALSE(SelectLocalAddress(unusable, 2, &chosen));
    EXPECT_FALSE(SelectLocalAddress(unusable, 0, &chosen));
    EXPECT_EQ(chosen, 0x12345678u);
    const DWORD zeroFirst[] = {Addr(0, 0, 0, 0), Addr(198, 51, 100, 2)};
    ASSERT_TRUE(SelectLocalAddress(zeroFirst, 2, &chosen));
    EXPECT_EQ(chosen, Addr(198, 51, 100, 2));

    // The real table: whatever is chosen comes from it and is usable.
    std::vector<DWORD> all;
    ASSERT_TRUE(PlatformLocalAddresses(all));
    EXPECT_FALSE(GetLocalAddress(nullptr));
    if (GetLocalAddress(&chosen)) {
        EXPECT_NE(chosen, Addr(127, 0, 0, 1));
        EXPECT_NE(chosen, 0u);
        bool listed = false;
        for (DWORD a : all)
            listed = listed || a == chosen;
        EXPECT_TRUE(listed);
    }
}

TEST(InetHost, FormatsDottedAddress) {
    EXPECT_EQ(FormatDottedAddress(Addr(192, 0, 2, 7)), L"192.0.2.7");
    EXPECT_EQ(FormatDottedAddress(Addr(0, 0, 0, 0)), L"0.0.0.0");
    EXPECT_EQ(FormatDottedAddress(Addr(255, 255, 255, 255)), L"255.255.255.255");
}

// Cases against the network lab (tests/lab/resolver_lab_test.sh runs them inside its client
// namespace, where the hosts file answers every lookup locally).
namespace {

bool LabEnabled() {
    const char* lab = std::getenv("HOPWATCH_LAB");
    return lab != nullptr && std::strcmp(lab, "1") == 0;
}

std::string LabValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

DWORD LabAddress(const char* name) {
    DWORD address = 0;
    EXPECT_TRUE(PlatformParseDotted(LabValue(name), address)) << name;
    return address;
}

} // namespace

TEST(InetHostLab, NameWithSeveralAddressesKeepsThemInOrder) {
    if (!LabEnabled())
        GTEST_SKIP() << "HOPWATCH_LAB is not 1";
    CNInetHost host(L"multi.hoplab.test");
    ASSERT_EQ(host.GetAddressCount(), 3u);
    EXPECT_EQ(host.GetAddress(0), Addr(203, 0, 113, 21));
    EXPECT_EQ(host.GetAddress(1), Addr(203, 0, 113, 22));
    EXPECT_EQ(host.GetAddress(2), Addr(203, 0, 113, 23));
    EXPECT_EQ(host.GetCanonicalName(), L"multi.hoplab.test");

    host.SetHost(L" target.hoplab.test : 80 ");
    ASSERT_TRUE(host.Resolve());
    EXPECT_EQ(host.GetPort(), 80);
    EXPECT_EQ(host.GetAddress(0), LabAddress("HOPWATCH_LAB_TARGET_ADDR"));

    host.SetHost(L"nohost.invalid");
    EXPECT_FALSE(host.Resolve());
    EXPECT_EQ(host.GetAddressCount(), 0u);
}

TEST(InetHostLab, LocalAddressAndReverseLookup) {
    if (!LabEnabled())
        GTEST_SKIP() << "HOPWATCH_LAB is not 1";
    DWORD local = 0;
    ASSERT_TRUE(GetLocalAddress(&local));
    EXPECT_EQ(local, LabAddress("HOPWATCH_LAB_CLIENT_ADDR"));

    std::string name;
    ASSERT_TRUE(PlatformReverseLookup(LabAddress("HOPWATCH_LAB_TARGET_ADDR"), name));
    EXPECT_EQ(name, LabValue("HOPWATCH_LAB_TARGET_NAME"));
    EXPECT_FALSE(PlatformReverseLookup(Addr(203, 0, 113, 99), name));
    EXPECT_TRUE(name.empty());
}
