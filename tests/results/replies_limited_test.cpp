// The loss-reading aid: which rows read as a router limiting its replies.
#include <gtest/gtest.h>

#include "results/replies_limited.h"

namespace {

SHopwatchHost Hop(DWORD ttl, DWORD received, DWORD lost) {
    SHopwatchHost host;
    host.ttl = ttl;
    host.image = kImageAnswering;
    host.sent = received + lost;
    host.received = received;
    host.lost = lost;
    return host;
}

NArray<SHopwatchHost> Route(std::initializer_list<SHopwatchHost> hops) {
    NArray<SHopwatchHost> rows;
    rows.SetSize(static_cast<int>(hops.size()));
    int i = 0;
    for (const SHopwatchHost& hop : hops)
        rows[i++] = hop;
    return rows;
}

bool Noted(const SHopwatchHost& row) {
    return row.note == kHopwatchRepliesLimitedNote;
}

} // namespace

TEST(RepliesLimited, LossThatTheRouteEndDoesNotShowIsTheRoutersOwn) {
    // Routers 2 and 3 answer one probe in ten; the target loses nothing.
    SHopwatchHost local = Hop(0, 100, 0);
    local.image = kImageLocal;
    NArray<SHopwatchHost> rows =
        Route({local, Hop(1, 100, 0), Hop(2, 10, 90), Hop(3, 10, 90), Hop(4, 100, 0)});
    rows[4].image = kImageTarget;
    MarkRepliesLimited(rows);
    EXPECT_FALSE(Noted(rows[0]));
    EXPECT_FALSE(Noted(rows[1]));
    EXPECT_TRUE(Noted(rows[2]));
    EXPECT_TRUE(Noted(rows[3]));
    EXPECT_FALSE(Noted(rows[4]));
    EXPECT_EQ(rows[2].lost, 90u); // the figures stay
}

TEST(RepliesLimited, LossOnThePathAndItsScatterAreNotMarked) {
    // 40 % loss from hop 2 on: every later hop loses about as much, give or take chance.
    NArray<SHopwatchHost> path =
        Route({Hop(1, 100, 0), Hop(2, 52, 48), Hop(3, 61, 39), Hop(4, 66, 34)});
    MarkRepliesLimited(path);
    for (int r = 0; r < path.GetSize(); ++r)
        EXPECT_FALSE(Noted(path[r])) << r;
    // Ten probes are too few to tell limiting from chance.
    EXPECT_FALSE(HopwatchRepliesLimited(Hop(2, 6, 4), Hop(3, 10, 0)));
    EXPECT_TRUE(HopwatchRepliesLimited(Hop(2, 11, 89), Hop(3, 100, 0)));
}

TEST(RepliesLimited, OnlyAnsweringHopsWithoutANoteBeforeTheRouteEndAreMarked) {
    SHopwatchHost unreachable = Hop(2, 10, 90);
    unreachable.note = L"Host Unreachable";
    SHopwatchHost alternative = Hop(0, 10, 0);
    alternative.image = kImageAlternative;
    // A silent hop (no reply at all), one with a note of its own, an alternative; the end of
    // the route is the last hop that answered, not the silent hops behind it.
    NArray<SHopwatchHost> rows = Route(
        {Hop(1, 0, 100), unreachable, alternative, Hop(3, 10, 90), Hop(4, 100, 0), Hop(5, 0, 100)});
    MarkRepliesLimited(rows);
    EXPECT_FALSE(Noted(rows[0]));
    EXPECT_EQ(rows[1].note, L"Host Unreachable");
    EXPECT_FALSE(Noted(rows[2]));
    EXPECT_TRUE(Noted(rows[3]));
    EXPECT_FALSE(Noted(rows[4]));
    EXPECT_FALSE(Noted(rows[5]));
    // No reference at all: nothing to compare with.
    NArray<SHopwatchHost> silent = Route({Hop(1, 5, 95)});
    MarkRepliesLimited(silent);
    EXPECT_FALSE(Noted(silent[0]));
}
