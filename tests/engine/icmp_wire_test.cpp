// The ICMP wire format: echo request size and layout, checksum, reply parsing and its bounds.
#include <algorithm>
#include <iterator>

#include <gtest/gtest.h>

#include "engine/icmp_wire.h"
#include "support/test_datagrams.h"

TEST(IcmpWire, EchoRequestLengthLayoutAndChecksum) {
    EXPECT_EQ(IcmpEchoLength(64), 44);
    EXPECT_EQ(IcmpEchoLength(0), 44);  // raised to 64
    EXPECT_EQ(IcmpEchoLength(65), 44); // lowest bit cleared
    EXPECT_EQ(IcmpEchoLength(101), 80);
    EXPECT_EQ(IcmpEchoLength(9000), 4076); // lowered to 4096

    BYTE message[80];
    std::fill(std::begin(message), std::end(message), BYTE{0xAA});
    ASSERT_EQ(BuildIcmpEchoRequest(message, 80, 0x1234, 0xBEEF), 80);
    EXPECT_EQ(message[0], kIcmpEchoRequest);
    EXPECT_EQ(message[1], 0);
    EXPECT_EQ(message[4], 0x34); // least significant byte first
    EXPECT_EQ(message[5], 0x12);
    EXPECT_EQ(message[6], 0xEF);
    EXPECT_EQ(message[7], 0xBE);
    for (int i = 8; i < 80; ++i)
        ASSERT_EQ(message[i], 0) << i;
    EXPECT_EQ(IcmpChecksum(message, 80), 0); // verifies with the checksum in place
    // An odd length pads the last byte with zero, as RFC 1071 wants.
    const BYTE odd[3] = {0x01, 0x02, 0x03};
    const BYTE padded[4] = {0x01, 0x02, 0x03, 0x00};
    EXPECT_EQ(IcmpChecksum(odd, 3), IcmpChecksum(padded, 4));
}

TEST(IcmpWire, RepliesGiveTypeCodeIdentifiersAndTheQuotedHeader) {
    SIcmpReply reply;
    ASSERT_TRUE(ParseIcmpReply(MakeEchoReply(0x1234, 0x0102).data(), 64, reply));
    EXPECT_EQ(reply.type, kIcmpEchoReply);
    EXPECT_EQ(reply.identifier, 0x1234);
    EXPECT_EQ(reply.sequence, 0x0102);
    EXPECT_EQ(reply.quotedOffset, 0);
    EXPECT_EQ(reply.quotedLength, 0);

    // Options in the outer header (8 bytes) and in the quoted one (8 bytes) move everything.
    const std::vector<BYTE> error = MakeIcmpError(kIcmpUnreachable, 13, 0x4321, 7, 2);
    ASSERT_TRUE(ParseIcmpReply(error.data(), static_cast<int>(error.size()), reply));
    EXPECT_EQ(reply.type, kIcmpUnreachable);
    EXPECT_EQ(reply.code, 13);
    EXPECT_EQ(reply.identifier, 0x4321);
    EXPECT_EQ(reply.sequence, 7);
    EXPECT_EQ(reply.quotedOffset, 28 + 8);
    EXPECT_EQ(reply.quotedLength, 28);
    EXPECT_EQ(error[static_cast<size_t>(reply.quotedOffset + reply.quotedLength)], 8);

    // A time exceeded needs the whole quoted echo header: 56 bytes without options.
    const std::vector<BYTE> expired = MakeIcmpError(kIcmpTimeExceeded, 0, 1, 2);
    ASSERT_EQ(expired.size(), 56u);
    EXPECT_TRUE(ParseIcmpReply(expired.data(), 56, reply));
    SIcmpReply untouched;
    untouched.sequence = 99;
    EXPECT_FALSE(ParseIcmpReply(expired.data(), 55, untouched));
    EXPECT_EQ(untouched.sequence, 99);
    EXPECT_FALSE(ParseIcmpReply(expired.data(), 27, untouched));
    EXPECT_FALSE(ParseIcmpReply(nullptr, 56, untouched));

    std::vector<BYTE> other = MakeEchoReply(1, 2);
    other[20] = 5; // a redirect is not a reply to a probe
    EXPECT_FALSE(ParseIcmpReply(other.data(), static_cast<int>(other.size()), untouched));
    other[20] = 0;
    other[0] = 0x44; // an IP header length below 20 bytes
    EXPECT_FALSE(ParseIcmpReply(other.data(), static_cast<int>(other.size()), untouched));
    std::vector<BYTE> quotedShort = MakeIcmpError(kIcmpTimeExceeded, 0, 1, 2);
    quotedShort[28] = 0x4F; // a quoted header of 60 bytes that the datagram does not hold
    EXPECT_FALSE(ParseIcmpReply(quotedShort.data(), 56, untouched));
}
