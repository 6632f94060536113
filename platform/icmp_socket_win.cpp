// Raw ICMP socket on Winsock 2, which delivers the IP header with every datagram; which send
// failures pass with the network.
#include "platform/icmp_socket.h"

#include "platform/sockets_init.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <ipexport.h>

#include <cstring>

static SOCKET Sock(PlatformSocket socket) {
    return static_cast<SOCKET>(socket);
}

DWORD PlatformIcmpOpen(PlatformSocket& socket) {
    socket = kInvalidPlatformSocket;
    if (!PlatformSocketsInit())
        return static_cast<DWORD>(WSAGetLastError());
    SOCKET s = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    if (s == INVALID_SOCKET)
        return static_cast<DWORD>(WSAGetLastError());
    socket = static_cast<PlatformSocket>(s);
    return 0;
}

bool PlatformIcmpAccessDenied(DWORD error) {
    return error == static_cast<DWORD>(WSAEACCES) || error == ERROR_ACCESS_DENIED;
}

DWORD PlatformIcmpClose(PlatformSocket socket) {
    return closesocket(Sock(socket)) == 0 ? 0 : static_cast<DWORD>(WSAGetLastError());
}

DWORD PlatformIcmpSetTtl(PlatformSocket socket, int ttl) {
    int result = setsockopt(Sock(socket), IPPROTO_IP, IP_TTL, reinterpret_cast<const char*>(&ttl),
                            sizeof ttl);
    return result == 0 ? 0 : static_cast<DWORD>(WSAGetLastError());
}

DWORD PlatformIcmpSendTo(PlatformSocket socket, const BYTE* message, int length, DWORD address) {
    sockaddr_in to;
    std::memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    int sent = sendto(Sock(socket), reinterpret_cast<const char*>(message), length, 0,
                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == SOCKET_ERROR ? static_cast<DWORD>(WSAGetLastError()) : 0;
}

const DWORD kPlatformErrorNetworkUnreachable = WSAENETUNREACH;

// The raw socket's Winsock codes, and what the system's ICMP service (IcmpSendEcho2) says for
// the same: no route, no resources, a general failure of the adapter.
bool PlatformIcmpSendErrorPasses(DWORD error) {
    switch (error) {
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAENETDOWN:
    case WSAEHOSTDOWN:
    case WSAENETRESET:
    case WSAENOBUFS:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case IP_DEST_NET_UNREACHABLE:
    case IP_DEST_HOST_UNREACHABLE:
    case IP_NO_RESOURCES:
    case IP_GENERAL_FAILURE:
        return true;
    default:
        return false;
    }
}

int PlatformIcmpWaitReadable(PlatformSocket socket, long seconds, long microseconds, DWORD& error) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(Sock(socket), &readable);
    timeval wait{seconds, microseconds};
    int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) {
        error = static_cast<DWORD>(WSAGetLastError());
        return -1;
    }
    return ready;
}

DWORD PlatformIcmpReceiveFrom(PlatformSocket socket, BYTE* buffer, int capacity, int& received,
                              DWORD& source, std::int64_t&) {
    sockaddr_in from;
    std::memset(&from, 0, sizeof from);
    int fromLength = sizeof from;
    int count = recvfrom(Sock(socket), reinterpret_cast<char*>(buffer), capacity, 0,
                         reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (count == SOCKET_ERROR) {
        received = 0;
        return static_cast<DWORD>(WSAGetLastError());
    }
    received = count;
    source = from.sin_addr.s_addr;
    return 0;
}

// Winsock has no per-call non-blocking flag; a select that does not wait says whether a datagram
// is there, so a blocking socket never blocks here.
DWORD PlatformIcmpReceiveQueued(PlatformSocket socket, BYTE* buffer, int capacity, int& received,
                                DWORD& source, std::int64_t& receiveTime) {
    DWORD error = 0;
    const int ready = PlatformIcmpWaitReadable(socket, 0, 0, error);
    if (ready < 0)
        return error;
    if (ready == 0) {
        received = 0;
        return kPlatformIcmpNothingQueued;
    }
    return PlatformIcmpReceiveFrom(socket, buffer, capacity, received, source, receiveTime);
}
