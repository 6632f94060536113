// The system's resolver on POSIX: getaddrinfo, getnameinfo and getifaddrs, all thread-safe.
#include "platform/resolver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

// getaddrinfo reports through its result, not errno; give the caller an errno that says roughly
// the same, as the socket library's last error does on Windows.
int ErrnoForLookup(int rc) {
    switch (rc) {
    case EAI_SYSTEM:
        return errno;
    case EAI_AGAIN:
        return EAGAIN;
    case EAI_MEMORY:
        return ENOMEM;
    default:
        return ENOENT;
    }
}

} // namespace

bool PlatformResolveName(const std::string& name, SResolvedHost& result) {
    result = SResolvedHost();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One socket type only: getaddrinfo repeats every address once per type it was asked for.
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* list = nullptr;
    const int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &list);
    if (rc != 0) {
        errno = ErrnoForLookup(rc);
        return false;
    }
    for (const addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_canonname != nullptr && result.officialName.empty())
            result.officialName = entry->ai_canonname;
        if (entry->ai_family != AF_INET || entry->ai_addr == nullptr ||
            entry->ai_addrlen < sizeof(sockaddr_in))
            continue;
        sockaddr_in address;
        std::memcpy(&address, entry->ai_addr, sizeof address);
        result.addresses.push_back(address.sin_addr.s_addr);
    }
    ::freeaddrinfo(list);
    // getaddrinfo has no alias list; the aliases stay empty here.
    if (result.addresses.empty()) {
        result = SResolvedHost();
        errno = ENOENT;
        return false;
    }
    if (result.officialName.empty())
        result.officialName = name;
    return true;
}

bool PlatformReverseLookup(DWORD address, std::string& name) {
    name.clear();
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = static_cast<in_addr_t>(address);
    char host[NI_MAXHOST];
    const int rc = ::getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress),
                                 sizeof socketAddress, host, sizeof host, nullptr, 0, NI_NAMEREQD);
    if (rc != 0) {
        errno = ErrnoForLookup(rc);
        return false;
    }
    name = host;
    return true;
}

bool PlatformLocalAddresses(std::vector<DWORD>& addresses) {
    addresses.clear();
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return false;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        sockaddr_in address;
        std::memcpy(&address, entry->ifa_addr, sizeof address);
        addresses.push_back(address.sin_addr.s_addr);
    }
    ::freeifaddrs(list);
    return true;
}

void PlatformSetInvalidHostError() {
    errno = EINVAL;
}
