// The ICMP wire format of the probes: the echo request as sent and the replies as read back.
#pragma once

#include "foundation/base_types.h"

constexpr BYTE kIcmpEchoReply = 0;
constexpr BYTE kIcmpUnreachable = 3;
constexpr BYTE kIcmpEchoRequest = 8;
constexpr BYTE kIcmpTimeExceeded = 11;
constexpr int kIcmpHeaderSize = 8;
constexpr int kIpHeaderMinSize = 20;
// The largest datagram the engine sends or reads (the probe buffers are this large).
constexpr int kIcmpDatagramMax = 4096;

// Internet checksum (RFC 1071) of a message: 16-bit words in the machine's byte order summed into
// 32 bits, folded twice and complemented; stored in the same order, it is right on the wire.
WORD IcmpChecksum(const BYTE* message, int length);

// Length of the echo request for an IP datagram size: the size with its lowest bit cleared, at
// least 64 and at most 4096, minus the 20 bytes of IP header the system adds. 44 for 64.
int IcmpEchoLength(DWORD datagramSize);

// Writes an echo request of length bytes (IcmpEchoLength; at least the 8-byte header) into
// buffer: type 8, code 0, the checksum, identifier and sequence stored least significant byte
// first, zero data. Identifier and sequence are not put in network byte order: replies are read
// back the same way, so matching does not depend on it. Returns length.
int BuildIcmpEchoRequest(BYTE* buffer, int length, WORD identifier, WORD sequence);

// What a reply to one of our probes says, as far as the engine needs it.
struct SIcmpReply {
    BYTE type = 0; // kIcmpEchoReply, kIcmpUnreachable or kIcmpTimeExceeded
    BYTE code = 0;
    WORD identifier = 0; // of the echo request answered, read as the probe stores it
    WORD sequence = 0;
    // The quoted IP header of the request (types 3 and 11): its offset in the datagram and its
    // length; 0 and 0 for an echo reply. The request's echo header follows it.
    int quotedOffset = 0;
    int quotedLength = 0;
};

// Parses a datagram as the raw socket delivers it, IP header included; header lengths are read
// from the datagram (options make them longer than 20 bytes) and every offset is checked against
// length before it is read. TRUE for an echo reply, a destination unreachable or a time exceeded
// whose echo header lies inside the datagram; FALSE (reply untouched) for anything shorter than
// 28 bytes, another type, or a header that does not fit.
bool ParseIcmpReply(const BYTE* datagram, int length, SIcmpReply& reply);
