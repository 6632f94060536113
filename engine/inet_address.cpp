// IPv4 address helpers of the engine: this computer's address and the dotted text of an address.
#include "engine/inet_address.h"

#include <string>
#include <vector>

#include "engine/hopwatch_records.h"
#include "platform/resolver.h"

namespace {
const DWORD kLoopbackHostOrder = 0x7F000001; // 127.0.0.1
} // namespace

BOOL SelectLocalAddress(const DWORD* addresses, DWORD count, DWORD* address) {
    if (addresses == nullptr || address == nullptr)
        return FALSE;
    bool found = false;
    DWORD best = 0;
    for (DWORD i = 0; i < count; ++i) {
        // In host byte order numeric order is the order of the four bytes on the wire.
        const DWORD value = HopwatchSwapOrder(addresses[i]);
        if (value == 0 || value == kLoopbackHostOrder)
            continue;
        if (!found || value < HopwatchSwapOrder(best)) {
            best = addresses[i];
            found = true;
        }
    }
    if (found)
        *address = best;
    return found ? TRUE : FALSE;
}

BOOL GetLocalAddress(DWORD* address) {
    if (address == nullptr)
        return FALSE;
    std::vector<DWORD> addresses;
    if (!PlatformLocalAddresses(addresses))
        return FALSE;
    return SelectLocalAddress(addresses.data(), static_cast<DWORD>(addresses.size()), address);
}

CString FormatDottedAddress(DWORD address) {
    const DWORD value = HopwatchSwapOrder(address);
    CString text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24)
            text += L'.';
        text += std::to_wstring((value >> shift) & 0xFF);
    }
    return text;
}
