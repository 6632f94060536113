// The outcome records: every kind and form comes back as it went in, in a few bytes.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/CHopwatchHistory.h"
#include "recording/CRecordingOutcomeCodec.h"

namespace {

SHopwatchOutcome Outcome(BYTE kind, WORD hop, WORD slot, std::int64_t sendTime, double rtt = NAN,
                         DWORD responder = 0, BYTE code = 0) {
    SHopwatchOutcome outcome;
    outcome.kind = kind;
    outcome.hop = hop;
    outcome.slot = slot;
    outcome.sendTime = sendTime;
    outcome.rtt = std::isnan(rtt) ? HopwatchPositiveNaN() : rtt;
    outcome.responder = responder;
    outcome.code = code;
    return outcome;
}

} // namespace

TEST(OutcomeCodec, EveryKindRoundTripsAndTheUsualProbeTakesAFewBytes) {
    const double f = 1e9; // nanosecond ticks, as on Linux: round trips are whole ticks
    const std::int64_t t0 = 5000000000;
    std::vector<SHopwatchOutcome> in = {
        Outcome(kOutcomeSent, 1, 65535, t0),
        Outcome(kOutcomeReply, 1, 65535, t0, 0.000345678, 0x0A000001),
        Outcome(kOutcomeSent, 2, 0, t0 + 33333333), // the slot wraps, the hop follows
        Outcome(kOutcomeReply, 2, 0, t0 + 33333333, 12345679.0 / f, 0x0A000002),
        Outcome(kOutcomeSent, 0, 1, t0 + 66666666),
        Outcome(kOutcomeSent, 17, 9, t0 + 99999999), // a hop and slot given in full
        Outcome(kOutcomeUnreachable, 0, 1, t0 + 66666666, NAN, 0, 13),
        Outcome(kOutcomeLost, 17, 9, t0 + 99999999),
        Outcome(kOutcomeLate, 17, 9, t0 + 99999999, 6.5, 0x0A000011),
        Outcome(kOutcomeLate, 2, 0, t0 + 33333333, NAN, 0, 3), // a late unreachable
        Outcome(kOutcomeVoid, 5, 4000, t0 + 7),                // never sent as far as we know
        Outcome(kOutcomeReply, 2, 0, t0 + 33333333, 12345679.0 / f, 0x0A000002),
    };
    CRecordingOutcomeCodec writer;
    CRecordingOutcomeCodec reader;
    ASSERT_TRUE(writer.Reset(t0 - 1000, 1000000000));
    ASSERT_TRUE(reader.Reset(t0 - 1000, 1000000000));
    std::vector<BYTE> bytes;
    std::vector<size_t> sizes;
    CRecordingBytesOut out(bytes);
    for (const SHopwatchOutcome& outcome : in) {
        const size_t before = bytes.size();
        writer.Encode(outcome, out);
        sizes.push_back(bytes.size() - before);
        ASSERT_LE(sizes.back(), static_cast<size_t>(CRecordingOutcomeCodec::kMaxRecordBytes));
    }
    CRecordingBytesIn source(bytes.data(), bytes.size());
    for (size_t i = 0; i < in.size(); ++i) {
        SHopwatchOutcome got;
        ASSERT_TRUE(reader.Decode(source.Byte(), source, got)) << i;
        EXPECT_EQ(got.kind, in[i].kind) << i;
        EXPECT_EQ(got.hop, in[i].hop) << i;
        EXPECT_EQ(got.slot, in[i].slot) << i;
        EXPECT_EQ(got.responder, in[i].responder) << i;
        EXPECT_EQ(got.code, in[i].code) << i;
        // Send times keep microseconds; round trips keep every tick, so the double is the same.
        EXPECT_EQ((got.sendTime - (t0 - 1000)) / 1000, (in[i].sendTime - (t0 - 1000)) / 1000) << i;
        EXPECT_TRUE((std::isnan(got.rtt) && std::isnan(in[i].rtt)) || got.rtt == in[i].rtt) << i;
    }
    EXPECT_TRUE(source.AtEnd());
    // A send on the schedule: the kind and 3 bytes of time; a reply from the hop's usual
    // responder, its slot given back: kind, slot and 4 bytes of round trip.
    EXPECT_EQ(sizes[2], 4u);
    EXPECT_EQ(sizes[11], 6u);

    // A record that names a probe nobody sent, or that ends early, is refused.
    CRecordingOutcomeCodec fresh;
    ASSERT_TRUE(fresh.Reset(0, 1000000000));
    const BYTE unknownSlot[] = {kOutcomeLost | 0x08};
    CRecordingBytesIn a(unknownSlot + 1, 0);
    SHopwatchOutcome got;
    EXPECT_FALSE(fresh.Decode(unknownSlot[0], a, got));
    const BYTE shortReply[] = {kOutcomeReply | 0x10, 3};
    CRecordingBytesIn b(shortReply + 1, 1);
    EXPECT_FALSE(fresh.Decode(shortReply[0], b, got));
}
