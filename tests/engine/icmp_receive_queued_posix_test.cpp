// Raw socket reads on POSIX: reading what is queued never blocks, and says when nothing is; an
// answer the kernel stamped carries its arrival time.
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/icmp_socket.h"
#include "platform/perf_counter.h"

// A datagram socket on loopback stands in for the raw socket (the read is the same recvfrom),
// so that this runs without root.
TEST(IcmpReceiveQueuedPosix, ReadsWhatIsThereThenSaysNothingIsQueued) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof self), 0);
    socklen_t length = sizeof self;
    ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&self), &length), 0);
    const PlatformSocket socket = static_cast<PlatformSocket>(fd);

    BYTE buffer[64];
    int received = -1;
    DWORD source = 0;
    std::int64_t receiveTime = -1;
    // Nothing has arrived: the blocking socket does not block this read.
    EXPECT_EQ(
        PlatformIcmpReceiveQueued(socket, buffer, sizeof buffer, received, source, receiveTime),
        kPlatformIcmpNothingQueued);
    EXPECT_EQ(received, 0);

    for (const char* text : {"one", "two"})
        ASSERT_EQ(sendto(fd, text, 3, 0, reinterpret_cast<sockaddr*>(&self), sizeof self), 3);
    DWORD error = 0;
    ASSERT_EQ(PlatformIcmpWaitReadable(socket, 1, 0, error), 1);
    for (const char* text : {"one", "two"}) {
        ASSERT_EQ(
            PlatformIcmpReceiveQueued(socket, buffer, sizeof buffer, received, source, receiveTime),
            0u);
        ASSERT_EQ(received, 3);
        EXPECT_EQ(std::memcmp(buffer, text, 3), 0);
        EXPECT_EQ(source, htonl(INADDR_LOOPBACK));
    }
    // Without the kernel's stamps the caller's time stands.
    EXPECT_EQ(receiveTime, -1);
    EXPECT_EQ(
        PlatformIcmpReceiveQueued(socket, buffer, sizeof buffer, received, source, receiveTime),
        kPlatformIcmpNothingQueued);
    // A failure other than an empty queue keeps its own code.
    EXPECT_EQ(PlatformIcmpReceiveQueued(kInvalidPlatformSocket - 1, buffer, sizeof buffer, received,
                                        source, receiveTime),
              static_cast<DWORD>(EBADF));

    // With them (the raw socket asks for them when it opens), the time lies between the send and
    // the read, on the performance counter.
    const int on = 1;
    ASSERT_EQ(setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on), 0);
    const std::int64_t beforeSend = PlatformPerfCounter();
    ASSERT_EQ(sendto(fd, "three", 5, 0, reinterpret_cast<sockaddr*>(&self), sizeof self), 5);
    ASSERT_EQ(PlatformIcmpWaitReadable(socket, 1, 0, error), 1);
    ASSERT_EQ(
        PlatformIcmpReceiveQueued(socket, buffer, sizeof buffer, received, source, receiveTime),
        0u);
    const std::int64_t afterRead = PlatformPerfCounter();
    EXPECT_EQ(received, 5);
    EXPECT_GE(receiveTime, beforeSend);
    EXPECT_LE(receiveTime, afterRead);
    close(fd);
}
