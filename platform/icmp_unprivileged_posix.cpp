// ICMP datagram sockets (Linux): echo requests without root, for users whose group
// net.ipv4.ping_group_range allows.
#include "platform/icmp_unprivileged.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include "platform/icmp_answer.h"
#include "platform/icmp_socket.h"
#include "platform/socket_message_posix.h"

namespace {

DWORD LastError() {
    return errno != 0 ? static_cast<DWORD>(errno) : static_cast<DWORD>(EIO);
}

// Room for the control messages of one read: the extended error with its offender address and
// the receive time.
constexpr size_t kControlSize =
    CMSG_SPACE(sizeof(sock_extended_err) + sizeof(sockaddr_in)) + CMSG_SPACE(sizeof(timespec)) + 64;

} // namespace

struct CNUnprivilegedIcmp::SState {
    int fd = -1;
    WORD identifier = 0;
};

EUnprivilegedIcmpKind PlatformUnprivilegedIcmpKind() {
    return kUnprivilegedIcmpDatagram;
}

DWORD CNUnprivilegedIcmp::Open(DWORD, DWORD) {
    Close();
    const int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
    if (fd < 0)
        return LastError();
    // Time exceeded and destination unreachable reach a datagram socket only through its error
    // queue, and only when asked for; the receive times come from the kernel.
    const int on = 1;
    sockaddr_in self;
    std::memset(&self, 0, sizeof self);
    self.sin_family = AF_INET;
    socklen_t selfLength = sizeof self;
    // Bound before the first send so that the identifier the kernel gives the socket (the
    // "port", written into every request it sends) is known from the start.
    if (::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&self), &selfLength) != 0) {
        const DWORD error = LastError();
        ::close(fd);
        return error;
    }
    m_state = new SState;
    m_state->fd = fd;
    // The identifier as it lies on the wire, read the way the probes store theirs.
    BYTE port[2];
    std::memcpy(port, &self.sin_port, 2);
    m_state->identifier = static_cast<WORD>(port[0] | (port[1] << 8));
    return 0;
}

DWORD CNUnprivilegedIcmp::Close() {
    if (m_state == nullptr)
        return 0;
    const DWORD error = ::close(m_state->fd) == 0 ? 0 : LastError();
    delete m_state;
    m_state = nullptr;
    return error;
}

WORD CNUnprivilegedIcmp::Identifier(WORD) const {
    return m_state != nullptr ? m_state->identifier : 0;
}

DWORD CNUnprivilegedIcmp::SetTtl(int ttl) {
    return ::setsockopt(m_state->fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) == 0 ? 0 : LastError();
}

DWORD CNUnprivilegedIcmp::SendTo(const BYTE* message, int length, DWORD address) {
    // The kernel puts in the socket's identifier and the checksum. Every ICMP error that arrives
    // also leaves its code as the socket's pending error, and the next send fails with that code
    // (clearing it) before anything goes out, although the error itself waits on the error queue
    // for Receive. So a failed send is tried again; a cause of its own (no route) fails again.
    DWORD error = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        error =
            PlatformIcmpSendTo(static_cast<PlatformSocket>(m_state->fd), message, length, address);
        if (error == 0)
            break;
    }
    return error;
}

int CNUnprivilegedIcmp::WaitReadable(long seconds, long microseconds, DWORD& error) {
    // An entry on the error queue makes the socket report an error condition, which the wait
    // counts as ready as well.
    return PlatformIcmpWaitReadable(static_cast<PlatformSocket>(m_state->fd), seconds, microseconds,
                                    error);
}

// What one read of a queue gave.
enum class ERead { Answer, Empty, Dropped, Failed };

// Reads one entry of the error queue (errorQueue) or of the socket, without waiting, and
// translates it into out. error gets the code of a failed read.
static ERead ReadOne(int fd, bool errorQueue, BYTE* out, int capacity, int& received, DWORD& source,
                     std::int64_t& receiveTime, DWORD& error) {
    BYTE message[4096];
    alignas(cmsghdr) BYTE control[kControlSize];
    SSocketMessage read(message, sizeof message, control, sizeof control);
    msghdr& header = read.header;
    const ssize_t count = ::recvmsg(fd, &header, MSG_DONTWAIT | (errorQueue ? MSG_ERRQUEUE : 0));
    if (count < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return ERead::Empty;
        error = LastError();
        return ERead::Failed;
    }
    SIcmpDatagramAnswer answer;
    answer.fromErrorQueue = errorQueue;
    answer.source = read.from.sin_addr.s_addr;
    answer.message = message;
    answer.length = static_cast<int>(count);
    bool stamped = false;
    std::int64_t stampTicks = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c != nullptr; c = CMSG_NXTHDR(&header, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
            stamped = ReceiveStampTicks(c, stampTicks);
        } else if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_RECVERR) {
            sock_extended_err extended;
            std::memcpy(&extended, CMSG_DATA(c), sizeof extended);
            answer.origin = extended.ee_origin;
            answer.type = extended.ee_type;
            answer.code = extended.ee_code;
            sockaddr_in offender;
            std::memcpy(&offender, CMSG_DATA(c) + sizeof extended, sizeof offender);
            answer.source = offender.sin_addr.s_addr;
        }
    }
    // A truncated answer is larger than any answer to our probes.
    if ((header.msg_flags & MSG_TRUNC) != 0)
        return ERead::Dropped;
    received = IcmpDatagramAnswerToRaw(answer, out, capacity);
    if (received == 0)
        return ERead::Dropped; // a local error: nothing a probe could be matched with
    source = answer.source;
    if (stamped)
        receiveTime = stampTicks;
    return ERead::Answer;
}

DWORD CNUnprivilegedIcmp::Receive(BYTE* buffer, int capacity, int& received, DWORD& source,
                                  std::int64_t& receiveTime) {
    received = 0;
    // The error queue first: while an error is queued, the kernel fails an ordinary read with
    // the error's code (once) instead of handing over the echo replies behind it. An error that
    // arrives between the two reads does that too; the next round then takes it from the
    // queue, and only a second failure in a row is a failure of the socket. Every round
    // consumes an entry or ends, and the rounds are bounded.
    bool failedBefore = false;
    for (int round = 0; round < 16; ++round) {
        DWORD error = 0;
        ERead read =
            ReadOne(m_state->fd, true, buffer, capacity, received, source, receiveTime, error);
        if (read == ERead::Answer)
            return 0;
        if (read == ERead::Failed)
            return error;
        if (read == ERead::Dropped)
            continue;
        read = ReadOne(m_state->fd, false, buffer, capacity, received, source, receiveTime, error);
        if (read == ERead::Answer)
            return 0;
        if (read == ERead::Empty)
            return kNothingQueued;
        if (read == ERead::Failed) {
            if (failedBefore)
                return error;
            failedBefore = true;
        }
    }
    received = 0;
    return kNothingQueued;
}
