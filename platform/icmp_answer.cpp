// Answers of the unprivileged ways to probe, put into the shape of the raw ICMP socket's datagrams.
#include "platform/icmp_answer.h"

#include <cstring>

namespace {

constexpr int kIpHeader = 20;
constexpr int kIcmpHeader = 8;
constexpr BYTE kEchoReply = 0;
constexpr BYTE kEchoRequest = 8;
constexpr BYTE kUnreachable = 3;
constexpr BYTE kTimeExceeded = 11;
constexpr BYTE kProtocolIcmp = 1;

// A 20-byte IPv4 header without options: what reply processing reads of it is its length (and
// nothing else), the rest is filled in as the network would have it.
void WriteIpHeader(BYTE* at, int totalLength, DWORD source) {
    std::memset(at, 0, kIpHeader);
    at[0] = 0x45;
    at[2] = static_cast<BYTE>((totalLength >> 8) & 0xFF);
    at[3] = static_cast<BYTE>(totalLength & 0xFF);
    at[8] = 64; // time to live
    at[9] = kProtocolIcmp;
    std::memcpy(at + 12, &source, 4);
}

// An ICMP error from source with type and code, quoting an IP header and the request's first
// bytes (request[0..requestLength)); 0 when it does not fit.
int WriteIcmpError(BYTE type, BYTE code, DWORD source, const BYTE* request, int requestLength,
                   BYTE* out, int capacity) {
    const int total = kIpHeader + kIcmpHeader + kIpHeader + requestLength;
    if (requestLength < kIcmpHeader || total > capacity)
        return 0;
    WriteIpHeader(out, total, source);
    BYTE* icmp = out + kIpHeader;
    std::memset(icmp, 0, kIcmpHeader);
    icmp[0] = type;
    icmp[1] = code;
    WriteIpHeader(icmp + kIcmpHeader, kIpHeader + requestLength, 0);
    std::memcpy(icmp + kIcmpHeader + kIpHeader, request, static_cast<size_t>(requestLength));
    return total;
}

} // namespace

int IcmpDatagramAnswerToRaw(const SIcmpDatagramAnswer& answer, BYTE* out, int capacity) {
    if (answer.message == nullptr || answer.length < kIcmpHeader)
        return 0;
    if (answer.fromErrorQueue) {
        if (answer.origin != kIcmpErrorOriginIcmp)
            return 0;
        return WriteIcmpError(answer.type, answer.code, answer.source, answer.message,
                              answer.length, out, capacity);
    }
    const int total = kIpHeader + answer.length;
    if (total > capacity)
        return 0;
    WriteIpHeader(out, total, answer.source);
    std::memcpy(out + kIpHeader, answer.message, static_cast<size_t>(answer.length));
    return total;
}

int IcmpServiceAnswerToRaw(const SIcmpServiceAnswer& answer, BYTE* out, int capacity) {
    BYTE type = kUnreachable;
    BYTE code = 0;
    switch (answer.status) {
    case kIpSuccess:
        type = kEchoReply;
        break;
    case kIpTtlExpiredTransit:
    case kIpTimeExceeded:
        type = kTimeExceeded;
        break;
    case kIpTtlExpiredReassem:
        type = kTimeExceeded;
        code = 1;
        break;
    case kIpDestNetUnreachable:
        code = 0;
        break;
    case kIpDestHostUnreachable:
    case kIpDestUnreachable:
        code = 1;
        break;
    case kIpDestProtUnreachable:
        code = 2;
        break;
    case kIpDestPortUnreachable:
        code = 3;
        break;
    case kIpPacketTooBig:
        code = 4;
        break;
    case kIpBadRoute:
        code = 5;
        break;
    default:
        return 0;
    }
    // The echo header of the probe the request stood for: the service's own identifier and
    // sequence never reach this program, so the probe's are put back where reply processing
    // looks for them.
    const BYTE echo[kIcmpHeader] = {type == kEchoReply ? kEchoReply : kEchoRequest,
                                    0,
                                    0,
                                    0,
                                    static_cast<BYTE>(answer.identifier & 0xFF),
                                    static_cast<BYTE>(answer.identifier >> 8),
                                    static_cast<BYTE>(answer.sequence & 0xFF),
                                    static_cast<BYTE>(answer.sequence >> 8)};
    if (type != kEchoReply)
        return WriteIcmpError(type, code, answer.address, echo, kIcmpHeader, out, capacity);
    if (kIpHeader + kIcmpHeader > capacity)
        return 0;
    WriteIpHeader(out, kIpHeader + kIcmpHeader, answer.address);
    std::memcpy(out + kIpHeader, echo, kIcmpHeader);
    return kIpHeader + kIcmpHeader;
}
