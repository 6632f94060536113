// Resolver parts that are the same on every system: the dotted-address parser.
#include "platform/resolver.h"

#include <cstdint>
#include <cstring>

bool PlatformParseDotted(const std::string& text, DWORD& address) {
    DWORD value = 0;
    int parts = 0;
    size_t i = 0;
    while (parts < 4) {
        int digits = 0;
        DWORD part = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3) {
            part = part * 10 + static_cast<DWORD>(text[i] - '0');
            ++digits;
            ++i;
        }
        if (digits == 0 || part > 255)
            return false;
        value = (value << 8) | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.')
                return false;
            ++i;
        }
    }
    if (i != text.size())
        return false;
    // value holds the bytes in reading order; store them so that the first part is the first
    // byte in memory, which is network order whatever the host's byte order.
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
        static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    std::uint32_t result = 0;
    std::memcpy(&result, bytes, sizeof result);
    address = result;
    return true;
}
