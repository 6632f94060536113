// The answers of an ICMP datagram socket and of the system's ICMP service rebuilt in the raw
// socket's shape, read back by the raw socket's parser.
#include <vector>

#include <gtest/gtest.h>

#include "engine/icmp_wire.h"
#include "platform/icmp_answer.h"
#include "support/test_datagrams.h"

namespace {
const DWORD kRouter = TestIp(203, 0, 113, 7);
// The request as the kernel sent it: identifier 0xBEEF, sequence 0x1234, 36 bytes of data.
std::vector<BYTE> Request() {
    std::vector<BYTE> request(44, 0);
    BuildIcmpEchoRequest(request.data(), 44, 0xBEEF, 0x1234);
    return request;
}
} // namespace

TEST(IcmpAnswer, DatagramSocketAnswersParseAsTheRawSocketsWithEveryTypeAndCode) {
    BYTE out[4096];
    std::vector<BYTE> reply = Request();
    reply[0] = kIcmpEchoReply;
    SIcmpDatagramAnswer answer;
    answer.source = kRouter;
    answer.message = reply.data();
    answer.length = static_cast<int>(reply.size());
    ASSERT_EQ(IcmpDatagramAnswerToRaw(answer, out, sizeof out), 64);
    SIcmpReply parsed;
    ASSERT_TRUE(ParseIcmpReply(out, 64, parsed));
    EXPECT_EQ(parsed.type, kIcmpEchoReply);
    EXPECT_EQ(parsed.identifier, 0xBEEF);
    EXPECT_EQ(parsed.sequence, 0x1234);

    const std::vector<BYTE> request = Request();
    answer.fromErrorQueue = true;
    answer.origin = kIcmpErrorOriginIcmp;
    answer.message = request.data();
    for (BYTE type : {kIcmpUnreachable, kIcmpTimeExceeded}) {
        for (int code = 0; code < 256; ++code) {
            answer.type = type;
            answer.code = static_cast<BYTE>(code);
            const int length = IcmpDatagramAnswerToRaw(answer, out, sizeof out);
            ASSERT_EQ(length, 20 + 8 + 20 + 44);
            SIcmpReply error;
            ASSERT_TRUE(ParseIcmpReply(out, length, error));
            ASSERT_EQ(error.type, type);
            ASSERT_EQ(error.code, code);
            ASSERT_EQ(error.identifier, 0xBEEF);
            ASSERT_EQ(error.sequence, 0x1234);
        }
    }
    // Only the first 8 bytes of the request may come back: still enough to match.
    answer.length = 8;
    EXPECT_EQ(IcmpDatagramAnswerToRaw(answer, out, sizeof out), 56);
    // A local error (a refused send, a too large message) is no answer; nor is a stub.
    answer.origin = 1; // SO_EE_ORIGIN_LOCAL
    EXPECT_EQ(IcmpDatagramAnswerToRaw(answer, out, sizeof out), 0);
    answer.origin = kIcmpErrorOriginIcmp;
    answer.length = 7;
    EXPECT_EQ(IcmpDatagramAnswerToRaw(answer, out, sizeof out), 0);
    answer.length = 44;
    EXPECT_EQ(IcmpDatagramAnswerToRaw(answer, out, 91), 0); // no room
}

TEST(IcmpAnswer, EachServiceStatusBecomesWhatTheRawSocketWouldHaveRead) {
    const struct {
        DWORD status;
        int type; // -1: nothing to deliver
        int code;
    } cases[] = {
        {kIpSuccess, kIcmpEchoReply, 0},
        {kIpTtlExpiredTransit, kIcmpTimeExceeded, 0},
        {kIpTimeExceeded, kIcmpTimeExceeded, 0},
        {kIpTtlExpiredReassem, kIcmpTimeExceeded, 1},
        {kIpDestNetUnreachable, kIcmpUnreachable, 0},
        {kIpDestHostUnreachable, kIcmpUnreachable, 1},
        {kIpDestProtUnreachable, kIcmpUnreachable, 2},
        {kIpDestPortUnreachable, kIcmpUnreachable, 3},
        {kIpPacketTooBig, kIcmpUnreachable, 4},
        {kIpBadRoute, kIcmpUnreachable, 5},
        {kIpDestUnreachable, kIcmpUnreachable, 1},
        {kIpReqTimedOut, -1, 0},
        {11001 /* buffer too small */, -1, 0},
        {11015 /* parameter problem */, -1, 0},
        {11050 /* general failure */, -1, 0},
    };
    BYTE out[4096];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        const int length = IcmpServiceAnswerToRaw(
            SIcmpServiceAnswer{c.status, kRouter, 0x5234, 0xFFFE}, out, sizeof out);
        if (c.type < 0) {
            EXPECT_EQ(length, 0);
            continue;
        }
        SIcmpReply parsed;
        ASSERT_TRUE(ParseIcmpReply(out, length, parsed));
        EXPECT_EQ(parsed.type, c.type);
        EXPECT_EQ(parsed.code, c.code);
        EXPECT_EQ(parsed.identifier, 0x5234);
        EXPECT_EQ(parsed.sequence, 0xFFFE);
    }
    EXPECT_EQ(IcmpServiceAnswerToRaw(SIcmpServiceAnswer{}, out, 27), 0);
}
