// Answers of the unprivileged ways to probe, put into the shape of the raw ICMP socket's datagrams.
#pragma once

#include "foundation/base_types.h"

// The engine's reply processing reads what a raw ICMP socket delivers: the IP header, then the
// ICMP message; for a time exceeded or a destination unreachable the message quotes the IP header
// and the echo header of the request it answers. The ICMP datagram socket and the system's ICMP
// service hand over their answers in other shapes; these functions rebuild the raw socket's
// datagram, so that every answer takes the one road through reply processing. The IP headers
// they write are 20 bytes long and carry only what is read: version and length, protocol, the
// source.

// Origin of an error-queue entry of a Linux socket (sock_extended_err.ee_origin) that carries an
// ICMP message from the network (SO_EE_ORIGIN_ICMP); others are local errors.
constexpr BYTE kIcmpErrorOriginIcmp = 2;

// One answer read from an ICMP datagram socket. An echo reply arrives on the socket itself as the
// ICMP message without its IP header. A time exceeded or a destination unreachable arrives on the
// socket's error queue as the echo request it answers (as the kernel sent it, with the socket's
// own identifier), with the ICMP type and code and the router that sent it.
struct SIcmpDatagramAnswer {
    bool fromErrorQueue = false;
    BYTE origin = 0; // error queue: ee_origin
    BYTE type = 0;   // error queue: ee_type
    BYTE code = 0;   // error queue: ee_code
    // The sender of the echo reply, or the offender (SO_EE_OFFENDER) of an error; network byte
    // order.
    DWORD source = 0;
    const BYTE* message = nullptr; // the echo reply, or the returned echo request
    int length = 0;
};

// Writes the answer as the raw socket would have delivered it into out[0..capacity): the echo
// reply behind an IP header; an error as an ICMP header with its type and code, a quoted IP header
// and the returned request behind it. The length written, or 0 when there is nothing to deliver (a
// local error, a message shorter than an ICMP header, no room).
int IcmpDatagramAnswerToRaw(const SIcmpDatagramAnswer& answer, BYTE* out, int capacity);

// The IP_STATUS values with which the system's ICMP service completes a request (ipexport.h).
enum : DWORD {
    kIpSuccess = 0,
    kIpDestNetUnreachable = 11002,
    kIpDestHostUnreachable = 11003,
    kIpDestProtUnreachable = 11004,
    kIpDestPortUnreachable = 11005,
    kIpPacketTooBig = 11009,
    kIpReqTimedOut = 11010,
    kIpBadRoute = 11012,
    kIpTtlExpiredTransit = 11013,
    kIpTtlExpiredReassem = 11014,
    kIpDestUnreachable = 11040,
    kIpTimeExceeded = 11041,
};

// One completed request of the system's ICMP service: its status, the address that answered and
// the identifier and sequence of the probe it was sent for (the service puts its own on the wire
// and matches the answers itself).
struct SIcmpServiceAnswer {
    DWORD status = 0;
    DWORD address = 0; // network byte order
    WORD identifier = 0;
    WORD sequence = 0;
};

// Writes the datagram with which the raw socket would have brought the same outcome:
// - success: an echo reply from the address;
// - TTL expired in transit (or in reassembly, or the general time exceeded): a time exceeded
//   with code 0 (1 for reassembly) from the address;
// - network, host, protocol, port unreachable, packet too big and bad route: a destination
//   unreachable with code 0, 1, 2, 3, 4 and 5; the general destination unreachable, which names
//   no code, as code 1 (host unreachable);
// - anything else (timed out, and the statuses of requests that never got an answer from the
//   network): 0, nothing to deliver: the engine's own time-out counts the probe as lost.
// The length written, or 0.
int IcmpServiceAnswerToRaw(const SIcmpServiceAnswer& answer, BYTE* out, int capacity);
