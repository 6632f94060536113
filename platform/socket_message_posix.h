// One recvmsg on a POSIX socket: the message header over one buffer, the sender's address and
// room for control messages, and the kernel's receive time among those messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <time.h>

#include "platform/perf_counter.h"

// The header points into this object, so it is neither copied nor moved.
struct SSocketMessage {
    sockaddr_in from{};
    iovec part{};
    msghdr header{};

    SSocketMessage(void* buffer, std::size_t size, void* control, std::size_t controlSize) {
        part.iov_base = buffer;
        part.iov_len = size;
        header.msg_name = &from;
        header.msg_namelen = sizeof from;
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = controlSize;
    }
    SSocketMessage(const SSocketMessage&) = delete;
    SSocketMessage& operator=(const SSocketMessage&) = delete;
};

// TRUE when c is the kernel's receive stamp (SO_TIMESTAMPNS) and converts to a recent moment on
// the performance counter; ticks is then that moment.
inline bool ReceiveStampTicks(const cmsghdr* c, std::int64_t& ticks) {
    if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS)
        return false;
    timespec stamp;
    std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
    return PlatformPerfCounterAt(
        static_cast<std::int64_t>(stamp.tv_sec) * 1000000000 + stamp.tv_nsec, ticks);
}
