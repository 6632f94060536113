// The system's name resolver and interface list: forward and reverse lookups, local IPv4 addresses.
#pragma once

#include <string>
#include <vector>

#include "foundation/base_types.h"

// Forward lookup of a host name (text in the system's 8-bit code page). On success fills the
// official name, the aliases and the IPv4 addresses (network byte order) in the resolver's order.
// Thread-safe (no static result buffers). FALSE when the resolver has no IPv4 answer; the error is
// then the thread's last socket error.
struct SResolvedHost {
    std::string officialName;
    std::vector<std::string> aliases;
    std::vector<DWORD> addresses;
};
bool PlatformResolveName(const std::string& name, SResolvedHost& result);

// Parses a dotted IPv4 address: exactly four decimal parts of one to three digits, each at most
// 255, nothing else (no blanks, signs or trailing dot). Leading zeros are decimal ("010" is 10,
// not inet_addr's octal 8), so the address probed is the one the user wrote; the short and hex
// forms that inet_addr also takes ("127.1", "0x7f.1") are left to the resolver. "255.255.255.255"
// is an address (inet_addr cannot tell it from its error value). FALSE when the text is not one.
// The address is in network byte order. Portable; thread-safe.
bool PlatformParseDotted(const std::string& text, DWORD& address);

// Reverse lookup of an IPv4 address (network byte order): the official host name in the system's
// 8-bit code page, or FALSE when there is none. Blocks; thread-safe.
bool PlatformReverseLookup(DWORD address, std::string& name);

// Every IPv4 address of this computer's interfaces, network byte order, in the system's order
// (Windows: the MIB-II ipAdEntAddr column walked through "inetmib1.dll", else the IP helper's
// address table; POSIX: getifaddrs). Loopback and unconfigured entries are included; choosing
// among them is the caller's business. FALSE (list empty) when the system gives no list.
bool PlatformLocalAddresses(std::vector<DWORD>& addresses);

// Makes "not a valid host text" the thread's last socket error (WSAEINVAL on Windows, EINVAL on
// POSIX), for failures found before the resolver is asked (empty host, bad port, unconvertible
// text), so that the code reported with the failure is never a stale one.
void PlatformSetInvalidHostError();
