// Raw ICMP socket over IPv4: open, time-to-live, send, wait for readability, receive, close.
#pragma once

#include <cstdint>

#include "foundation/base_types.h"

// A socket handle wide enough for Winsock's SOCKET and a POSIX descriptor.
typedef std::uintptr_t PlatformSocket;
constexpr PlatformSocket kInvalidPlatformSocket = ~PlatformSocket(0);

// Every function returns 0 or the platform's socket error code, and is safe on any thread as
// long as one socket is used by one thread at a time.

// Opens a raw socket (AF_INET, SOCK_RAW, IPPROTO_ICMP). Needs the rights the system demands for
// raw sockets. Starts the socket library once on systems that need it.
DWORD PlatformIcmpOpen(PlatformSocket& socket);
// TRUE when an open failed because this user may not open raw sockets (EPERM or EACCES,
// WSAEACCES): a case for the way that needs no rights.
bool PlatformIcmpAccessDenied(DWORD error);
DWORD PlatformIcmpClose(PlatformSocket socket);
// Sets IP_TTL for the following sends (1..255).
DWORD PlatformIcmpSetTtl(PlatformSocket socket, int ttl);
// Sends an ICMP message (the system adds the IP header) to an address in network byte order.
DWORD PlatformIcmpSendTo(PlatformSocket socket, const BYTE* message, int length, DWORD address);
// Whether a failed send's error passes with the network rather than with the socket: network or
// host unreachable or down, no buffer space (sleep and resume, a Wi-Fi drop, an adapter change).
// Any thread.
bool PlatformIcmpSendErrorPasses(DWORD error);
// The code of "network unreachable" on this system (ENETUNREACH, WSAENETUNREACH).
extern const DWORD kPlatformErrorNetworkUnreachable;
// Waits for readability: the number of ready sockets (0 = time-out), or -1 with error set.
int PlatformIcmpWaitReadable(PlatformSocket socket, long seconds, long microseconds, DWORD& error);
// Reads one datagram with its IP header; source gets the sender in network byte order.
// receiveTime (performance-counter ticks) becomes the time the system received the datagram
// where the system says it, and is left as the caller set it otherwise.
DWORD PlatformIcmpReceiveFrom(PlatformSocket socket, BYTE* buffer, int capacity, int& received,
                              DWORD& source, std::int64_t& receiveTime);
// Returned by PlatformIcmpReceiveQueued when no datagram is waiting (WSAEWOULDBLOCK's value).
constexpr DWORD kPlatformIcmpNothingQueued = 10035;
// PlatformIcmpReceiveFrom for a datagram that is already waiting; never blocks:
// kPlatformIcmpNothingQueued when there is none.
DWORD PlatformIcmpReceiveQueued(PlatformSocket socket, BYTE* buffer, int capacity, int& received,
                                DWORD& source, std::int64_t& receiveTime);
