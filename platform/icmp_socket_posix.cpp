// Raw ICMP socket on POSIX. Like Winsock, a Linux raw ICMP socket delivers the IP header too.
#include "platform/icmp_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <netinet/in.h>
#include <sys/uio.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include "platform/socket_message_posix.h"

static int Fd(PlatformSocket socket) {
    return static_cast<int>(socket);
}

static DWORD LastError() {
    return errno != 0 ? static_cast<DWORD>(errno) : static_cast<DWORD>(EIO);
}

DWORD PlatformIcmpOpen(PlatformSocket& socket) {
    int fd = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    if (fd < 0) {
        socket = kInvalidPlatformSocket;
        return LastError();
    }
    // Answers carry the time the kernel received them, so that an answer read late (the worker
    // busy sending, or many answers queued) still gets its true round-trip time.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    socket = static_cast<PlatformSocket>(fd);
    return 0;
}

bool PlatformIcmpAccessDenied(DWORD error) {
    return error == static_cast<DWORD>(EPERM) || error == static_cast<DWORD>(EACCES);
}

DWORD PlatformIcmpClose(PlatformSocket socket) {
    return ::close(Fd(socket)) == 0 ? 0 : LastError();
}

DWORD PlatformIcmpSetTtl(PlatformSocket socket, int ttl) {
    return ::setsockopt(Fd(socket), IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) == 0 ? 0 : LastError();
}

DWORD PlatformIcmpSendTo(PlatformSocket socket, const BYTE* message, int length, DWORD address) {
    sockaddr_in to;
    std::memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    ssize_t sent = ::sendto(Fd(socket), message, static_cast<size_t>(length), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent < 0 ? LastError() : 0;
}

const DWORD kPlatformErrorNetworkUnreachable = ENETUNREACH;

bool PlatformIcmpSendErrorPasses(DWORD error) {
    switch (error) {
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
    case ENOBUFS:
        return true;
    default:
        return false;
    }
}

static std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// ppoll rather than select: select cannot watch a descriptor at or above FD_SETSIZE, and poll
// would round the wait up to whole milliseconds, sending every probe up to 1 ms late.
// A signal that lands on this thread (a console's Ctrl+C handler) interrupts the wait; that is
// no socket failure, so the wait goes on for the time that is left instead of ending the run.
int PlatformIcmpWaitReadable(PlatformSocket socket, long seconds, long microseconds, DWORD& error) {
    const std::int64_t total = static_cast<std::int64_t>(seconds > 0 ? seconds : 0) * 1000000000 +
                               (microseconds > 0 ? (microseconds % 1000000) * 1000 : 0);
    const std::int64_t deadline = MonotonicNanoseconds() + total;
    std::int64_t left = total;
    for (;;) {
        pollfd entry{Fd(socket), POLLIN, 0};
        timespec wait{};
        wait.tv_sec = static_cast<time_t>(left / 1000000000);
        wait.tv_nsec = static_cast<long>(left % 1000000000);
        errno = 0;
        int ready = ::ppoll(&entry, 1, &wait, nullptr);
        if (ready >= 0)
            return ready;
        if (errno != EINTR) {
            error = LastError();
            return -1;
        }
        left = deadline - MonotonicNanoseconds();
        if (left < 0)
            left = 0;
    }
}

static DWORD Receive(PlatformSocket socket, int flags, BYTE* buffer, int capacity, int& received,
                     DWORD& source, std::int64_t& receiveTime) {
    alignas(cmsghdr) BYTE control[CMSG_SPACE(sizeof(timespec)) + 64];
    SSocketMessage message(buffer, static_cast<size_t>(capacity), control, sizeof control);
    ssize_t count = ::recvmsg(Fd(socket), &message.header, flags);
    if (count < 0) {
        received = 0;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return (flags & MSG_DONTWAIT) != 0 ? kPlatformIcmpNothingQueued : LastError();
        return LastError();
    }
    received = static_cast<int>(count);
    source = message.from.sin_addr.s_addr;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message.header); c != nullptr;
         c = CMSG_NXTHDR(&message.header, c))
        ReceiveStampTicks(c, receiveTime);
    return 0;
}

DWORD PlatformIcmpReceiveFrom(PlatformSocket socket, BYTE* buffer, int capacity, int& received,
                              DWORD& source, std::int64_t& receiveTime) {
    return Receive(socket, 0, buffer, capacity, received, source, receiveTime);
}

// MSG_DONTWAIT makes this one call non-blocking; the socket itself stays blocking.
DWORD PlatformIcmpReceiveQueued(PlatformSocket socket, BYTE* buffer, int capacity, int& received,
                                DWORD& source, std::int64_t& receiveTime) {
    return Receive(socket, MSG_DONTWAIT, buffer, capacity, received, source, receiveTime);
}
