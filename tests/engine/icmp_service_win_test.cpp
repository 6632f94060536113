// The system's ICMP service on loopback: asynchronous requests whose answers come as calls in the
// probing thread's wait, in the raw socket's shape, timed at completion, with no allocation.
#include <gtest/gtest.h>

#include <winsock2.h>

#include "bench/allocation_counter.h"
#include "engine/icmp_wire.h"
#include "platform/icmp_unprivileged.h"
#include "platform/perf_counter.h"

namespace {
const DWORD kLoopback = htonl(INADDR_LOOPBACK);

// Waits (bounded) until an answer is there.
int WaitForAnswer(CNUnprivilegedIcmp& icmp) {
    DWORD error = 0;
    int ready = 0;
    for (int i = 0; i < 50 && ready == 0; ++i)
        ready = icmp.WaitReadable(0, 100000, error);
    return ready;
}
} // namespace

TEST(IcmpServiceWin, AnswersEchoRequestsAsynchronouslyTimedAtTheirCompletion) {
    ASSERT_EQ(PlatformUnprivilegedIcmpKind(), kUnprivilegedIcmpService);
    CNUnprivilegedIcmp icmp;
    ASSERT_EQ(icmp.Open(2000, 1), 0u); // room for one probe out at a time
    EXPECT_EQ(icmp.Identifier(0x1234), 0x1234);
    ASSERT_EQ(icmp.SetTtl(64), 0u);
    BYTE request[44];
    BYTE buffer[4096];
    const long allocations = g_benchAllocations.load();
    for (WORD sequence = 40; sequence < 43; ++sequence) {
        BuildIcmpEchoRequest(request, 44, 0x1234, sequence);
        const std::int64_t sent = PlatformPerfCounter();
        ASSERT_EQ(icmp.SendTo(request, 44, kLoopback), 0u); // returns at once
        // The one buffer is out until its answer has been read.
        EXPECT_EQ(icmp.SendTo(request, 44, kLoopback), static_cast<DWORD>(WSAENOBUFS));
        ASSERT_EQ(WaitForAnswer(icmp), 1);
        int received = 0;
        DWORD source = 0;
        std::int64_t receiveTime = 0;
        ASSERT_EQ(icmp.Receive(buffer, sizeof buffer, received, source, receiveTime), 0u);
        SIcmpReply reply;
        ASSERT_TRUE(ParseIcmpReply(buffer, received, reply));
        EXPECT_EQ(reply.type, kIcmpEchoReply);
        EXPECT_EQ(reply.identifier, 0x1234);
        EXPECT_EQ(reply.sequence, sequence);
        EXPECT_EQ(source, kLoopback);
        EXPECT_GT(receiveTime, sent);
        EXPECT_LE(receiveTime, PlatformPerfCounter());
        EXPECT_EQ(icmp.Receive(buffer, sizeof buffer, received, source, receiveTime),
                  CNUnprivilegedIcmp::kNothingQueued);
    }
    EXPECT_EQ(g_benchAllocations.load(), allocations) << "allocations while probing";
    // Nothing out: a wait runs its time out.
    DWORD error = 0;
    EXPECT_EQ(icmp.WaitReadable(0, 2000, error), 0);
    EXPECT_EQ(icmp.SetTtl(0), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(icmp.Close(), 0u);
}
