// The system's resolver on Windows: Winsock lookups and the local address table.
#include "platform/resolver.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <snmp.h>

#include <cstring>

#include "platform/sockets_init.h"

bool PlatformResolveName(const std::string& name, SResolvedHost& result) {
    result = SResolvedHost();
    if (!PlatformSocketsInit())
        return false;
    // gethostbyname is the one Winsock call that also gives the aliases; its result lives in a
    // per-thread buffer, so it is safe while other threads resolve.
    const hostent* entry = ::gethostbyname(name.c_str());
    if (entry == nullptr)
        return false;
    if (entry->h_addrtype != AF_INET || entry->h_length != 4 || entry->h_addr_list == nullptr) {
        ::WSASetLastError(WSANO_DATA);
        return false;
    }
    if (entry->h_name != nullptr)
        result.officialName = entry->h_name;
    for (char** alias = entry->h_aliases; alias != nullptr && *alias != nullptr; ++alias)
        result.aliases.push_back(*alias);
    for (char** item = entry->h_addr_list; *item != nullptr; ++item) {
        DWORD address = 0;
        std::memcpy(&address, *item, 4);
        result.addresses.push_back(address);
    }
    if (result.addresses.empty()) {
        result = SResolvedHost();
        ::WSASetLastError(WSANO_DATA);
        return false;
    }
    return true;
}

bool PlatformReverseLookup(DWORD address, std::string& name) {
    name.clear();
    if (!PlatformSocketsInit())
        return false;
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = address;
    char host[NI_MAXHOST];
    const int rc = ::getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress),
                                 sizeof socketAddress, host, sizeof host, nullptr, 0, NI_NAMEREQD);
    if (rc != 0) {
        ::WSASetLastError(rc);
        return false;
    }
    name = host;
    return true;
}

namespace {

typedef BOOL(WINAPI* PFN_SNMP_INIT)(DWORD, HANDLE*, AsnObjectIdentifier*);
typedef BOOL(WINAPI* PFN_SNMP_QUERY)(BYTE, SnmpVarBindList*, AsnInteger32*, AsnInteger32*);

// ipAdEntAddr of MIB-II: one row per local address, indexed by the address itself.
const UINT kAddressColumn[] = {1, 3, 6, 1, 2, 1, 4, 20, 1, 1};
const UINT kAddressColumnLength = sizeof kAddressColumn / sizeof kAddressColumn[0];
// More rows than any computer has addresses: guards against an agent that never ends the column.
const int kMaxWalkRows = 65536;

// The agent allocates what it returns with the SNMP utility allocator, which is GlobalAlloc. It
// replaces the name of the binding itself (freeing the old one) but overwrites the value without
// freeing it, so the value is freed after every row.
void FreeValue(SnmpVarBind& binding) {
    switch (binding.value.asnType) {
    case ASN_OCTETSTRING:
    case ASN_IPADDRESS:
    case ASN_OPAQUE:
    case ASN_BITS:
        if (binding.value.asnValue.string.dynamic && binding.value.asnValue.string.stream)
            ::GlobalFree(binding.value.asnValue.string.stream);
        break;
    case ASN_OBJECTIDENTIFIER:
        if (binding.value.asnValue.object.ids != nullptr)
            ::GlobalFree(binding.value.asnValue.object.ids);
        break;
    default:
        break;
    }
    binding.value.asnType = ASN_NULL;
}

void FreeBinding(SnmpVarBind& binding) {
    FreeValue(binding);
    if (binding.name.ids != nullptr)
        ::GlobalFree(binding.name.ids);
    binding.name.ids = nullptr;
    binding.name.idLength = 0;
}

// Walks the address column with get-next requests through the SNMP extension agent. FALSE when
// the agent cannot be loaded or started; the rows found before a failing query are kept.
bool WalkAddressTable(std::vector<DWORD>& addresses) {
    HMODULE library = ::LoadLibraryW(L"inetmib1.dll");
    if (library == nullptr)
        return false;
    auto init = reinterpret_cast<PFN_SNMP_INIT>(
        reinterpret_cast<void*>(::GetProcAddress(library, "SnmpExtensionInit")));
    auto query = reinterpret_cast<PFN_SNMP_QUERY>(
        reinterpret_cast<void*>(::GetProcAddress(library, "SnmpExtensionQuery")));
    HANDLE trapEvent = nullptr;
    AsnObjectIdentifier region{};
    if (init == nullptr || query == nullptr || !init(0, &trapEvent, &region)) {
        ::FreeLibrary(library);
        return false;
    }
    SnmpVarBind binding{};
    binding.value.asnType = ASN_NULL;
    binding.name.ids = static_cast<UINT*>(::GlobalAlloc(GMEM_FIXED, sizeof kAddressColumn));
    if (binding.name.ids == nullptr) {
        ::FreeLibrary(library);
        return false;
    }
    std::memcpy(binding.name.ids, kAddressColumn, sizeof kAddressColumn);
    binding.name.idLength = kAddressColumnLength;
    SnmpVarBindList list{&binding, 1};
    for (int row = 0; row < kMaxWalkRows; ++row) {
        AsnInteger32 errorStatus = 0;
        AsnInteger32 errorIndex = 0;
        if (!query(SNMP_PDU_GETNEXT, &list, &errorStatus, &errorIndex) || errorStatus != 0)
            break;
        if (binding.name.idLength < kAddressColumnLength || binding.name.ids == nullptr ||
            std::memcmp(binding.name.ids, kAddressColumn, sizeof kAddressColumn) != 0)
            break; // the walk has left the address column
        const AsnOctetString& value = binding.value.asnValue.address;
        if (binding.value.asnType == ASN_IPADDRESS && value.length == 4 &&
            value.stream != nullptr) {
            DWORD address = 0;
            std::memcpy(&address, value.stream, 4);
            addresses.push_back(address);
        }
        FreeValue(binding);
    }
    FreeBinding(binding);
    ::FreeLibrary(library);
    return true;
}

// The IP helper's address table: the same rows, for systems without the SNMP agent.
bool ReadIpAddrTable(std::vector<DWORD>& addresses) {
    ULONG size = 0;
    // The table may grow between asking for its size and reading it; ask again a few times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
        auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
        ULONG capacity = static_cast<ULONG>(buffer.size() * sizeof(DWORD));
        size = capacity;
        const DWORD rc = ::GetIpAddrTable(table, &size, TRUE);
        if (rc == ERROR_INSUFFICIENT_BUFFER && size > capacity)
            continue;
        if (rc != NO_ERROR)
            return false;
        for (DWORD i = 0; i < table->dwNumEntries; ++i)
            addresses.push_back(table->table[i].dwAddr);
        return true;
    }
    return false;
}

} // namespace

bool PlatformLocalAddresses(std::vector<DWORD>& addresses) {
    addresses.clear();
    if (WalkAddressTable(addresses) && !addresses.empty())
        return true;
    addresses.clear();
    return ReadIpAddrTable(addresses);
}

void PlatformSetInvalidHostError() {
    ::WSASetLastError(WSAEINVAL);
}
