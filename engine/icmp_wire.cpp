// The ICMP wire format of the probes: the echo request as sent and the replies as read back.
#include "engine/icmp_wire.h"

#include <cstdint>
#include <cstring>

namespace {

int HeaderLength(BYTE versionAndLength) {
    return (versionAndLength & 0x0F) * 4;
}

WORD ReadLe16(const BYTE* bytes) {
    return static_cast<WORD>(bytes[0] | (bytes[1] << 8));
}

} // namespace

WORD IcmpChecksum(const BYTE* message, int length) {
    std::uint32_t sum = 0;
    int i = 0;
    for (; i + 1 < length; i += 2) {
        std::uint16_t word;
        std::memcpy(&word, message + i, 2);
        sum += word;
    }
    if (i < length) {
        const BYTE last[2] = {message[i], 0};
        std::uint16_t word;
        std::memcpy(&word, last, 2);
        sum += word;
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    sum += sum >> 16;
    return static_cast<WORD>(~sum & 0xFFFF);
}

int IcmpEchoLength(DWORD datagramSize) {
    DWORD size = datagramSize & ~1u;
    if (size <= 64)
        size = 64;
    if (size >= static_cast<DWORD>(kIcmpDatagramMax))
        size = kIcmpDatagramMax;
    return static_cast<int>(size) - kIpHeaderMinSize;
}

int BuildIcmpEchoRequest(BYTE* buffer, int length, WORD identifier, WORD sequence) {
    std::memset(buffer, 0, static_cast<size_t>(length));
    buffer[0] = kIcmpEchoRequest;
    buffer[4] = static_cast<BYTE>(identifier & 0xFF);
    buffer[5] = static_cast<BYTE>(identifier >> 8);
    buffer[6] = static_cast<BYTE>(sequence & 0xFF);
    buffer[7] = static_cast<BYTE>(sequence >> 8);
    const WORD checksum = IcmpChecksum(buffer, length);
    std::memcpy(buffer + 2, &checksum, 2);
    return length;
}

bool ParseIcmpReply(const BYTE* datagram, int length, SIcmpReply& reply) {
    if (datagram == nullptr || length < kIpHeaderMinSize + kIcmpHeaderSize)
        return false;
    const int ipLength = HeaderLength(datagram[0]);
    if (ipLength < kIpHeaderMinSize || length < ipLength + kIcmpHeaderSize)
        return false;
    const BYTE type = datagram[ipLength];
    int echo = ipLength;
    int quoted = 0;
    int quotedLength = 0;
    if (type == kIcmpUnreachable || type == kIcmpTimeExceeded) {
        quoted = ipLength + kIcmpHeaderSize;
        if (length < quoted + kIpHeaderMinSize + kIcmpHeaderSize)
            return false;
        quotedLength = HeaderLength(datagram[quoted]);
        if (quotedLength < kIpHeaderMinSize || length < quoted + quotedLength + kIcmpHeaderSize)
            return false;
        echo = quoted + quotedLength;
    } else if (type != kIcmpEchoReply) {
        return false;
    }
    reply.type = type;
    reply.code = datagram[ipLength + 1];
    reply.identifier = ReadLe16(datagram + echo + 4);
    reply.sequence = ReadLe16(datagram + echo + 6);
    reply.quotedOffset = quoted;
    reply.quotedLength = quotedLength;
    return true;
}
