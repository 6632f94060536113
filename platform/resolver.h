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

// Parses a dotted IPv4 address the way inet_addr does; FALSE when the text is not one.
// The address is in network byte order.
bool PlatformParseDotted(const std::string& text, DWORD& address);

// Reverse lookup of an IPv4 address (network byte order): the official host name in the system's
// 8-bit code page, or FALSE when there is none. Blocks; thread-safe.
bool PlatformReverseLookup(DWORD address, std::string& name);

// Every IPv4 address of this computer's interfaces, network byte order, in the system's order.
bool PlatformLocalAddresses(std::vector<DWORD>& addresses);
