// libFuzzer target: arbitrary datagrams into the ICMP reply parser, and echo requests built from
// the input parsed back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/icmp_wire.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// What the parser says must agree with the bytes: offsets inside the datagram, the fields read
// where the format puts them.
void CheckParse(const BYTE* datagram, int length) {
    SIcmpReply reply;
    if (!ParseIcmpReply(datagram, length, reply))
        return;
    const int ip = (datagram[0] & 0x0F) * 4;
    Require(ip >= kIpHeaderMinSize && ip + kIcmpHeaderSize <= length);
    Require(reply.type == datagram[ip] && reply.code == datagram[ip + 1]);
    int echo = ip;
    if (reply.type == kIcmpEchoReply) {
        Require(reply.quotedOffset == 0 && reply.quotedLength == 0);
    } else {
        Require(reply.type == kIcmpUnreachable || reply.type == kIcmpTimeExceeded);
        Require(reply.quotedOffset == ip + kIcmpHeaderSize);
        Require(reply.quotedLength >= kIpHeaderMinSize && reply.quotedLength <= 60 &&
                reply.quotedLength % 4 == 0);
        echo = reply.quotedOffset + reply.quotedLength;
    }
    Require(echo + kIcmpHeaderSize <= length);
    Require(reply.identifier == (datagram[echo + 4] | (datagram[echo + 5] << 8)));
    Require(reply.sequence == (datagram[echo + 6] | (datagram[echo + 7] << 8)));
}

// An echo request built from the input's first bytes verifies and, inside an IP header and a
// time-exceeded quote, parses back to its identifier and sequence.
void CheckRoundTrip(const std::uint8_t* bytes, std::size_t size) {
    if (size < 6)
        return;
    const WORD id = static_cast<WORD>(bytes[0] | (bytes[1] << 8));
    const WORD seq = static_cast<WORD>(bytes[2] | (bytes[3] << 8));
    const int length = IcmpEchoLength(static_cast<DWORD>(bytes[4] | (bytes[5] << 8)));
    std::unique_ptr<BYTE[]> datagram(new BYTE[static_cast<size_t>(length) + 48]);
    BYTE* request = datagram.get() + 48;
    Require(BuildIcmpEchoRequest(request, length, id, seq) == length);
    Require(IcmpChecksum(request, length) == 0);
    for (int i = 0; i < 48; ++i)
        datagram[static_cast<size_t>(i)] = 0;
    datagram[0] = datagram[28] = 0x45;
    datagram[20] = kIcmpTimeExceeded;
    SIcmpReply reply;
    Require(ParseIcmpReply(datagram.get(), length + 48, reply));
    Require(reply.identifier == id && reply.sequence == seq && reply.quotedOffset == 28);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size > static_cast<std::size_t>(kIcmpDatagramMax))
        return 0;
    // A copy of exactly the input's size, so that any read past it is caught.
    std::unique_ptr<BYTE[]> datagram(new BYTE[size > 0 ? size : 1]);
    for (std::size_t i = 0; i < size; ++i)
        datagram[i] = bytes[i];
    CheckParse(datagram.get(), static_cast<int>(size));
    CheckRoundTrip(bytes, size);
    return 0;
}
