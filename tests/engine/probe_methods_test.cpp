// The ways to probe: which one a run opens, and that every answer of an ICMP datagram socket and of
// the system's ICMP service reaches reply processing as the raw socket's would.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/icmp_wire.h"
#include "support/CSettingsSnapshot.h"
#include "support/SThreadedRun.h"

namespace {

// A scripted run on one way to probe, without threads; answers are queued in that way's shape
// and read through ReceiveReply, as the ping worker reads them.
struct SPathRun : SScriptedRun {
    explicit SPathRun(EHopwatchProbeMethod way) {
        net.method = way;
        data.SetOutcomeCapacity(256);
        EXPECT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 500, 8, 0));
    }

    // The request with sequence slot as it went out on the wire.
    std::vector<BYTE> Request(DWORD slot) {
        for (const CFakeHopwatchNetwork::SSent& sent : net.Sent())
            if (sent.message.size() >= 8 &&
                static_cast<DWORD>(sent.message[6] | (sent.message[7] << 8)) == slot)
                return sent.message;
        ADD_FAILURE() << "no request " << slot;
        return std::vector<BYTE>(8, 0);
    }

    // Queues the answer of type and code (type 255: the request timed out) to the probe in slot
    // from `from`, carrying identifier id, as this way hands it over, and reads it at its arrival.
    void Answer(DWORD slot, BYTE type, BYTE code, DWORD from, std::int64_t arrival, WORD id) {
        if (type == 255 && net.method != kProbeSystem)
            return; // no answer at all: nothing to read
        std::vector<BYTE> request = Request(slot);
        request[4] = static_cast<BYTE>(id & 0xFF);
        request[5] = static_cast<BYTE>(id >> 8);
        if (net.method == kProbeRaw && type != 255) {
            net.QueueDatagramAt(type == 0 ? MakeEchoReply(id, slot)
                                          : MakeIcmpError(type, code, id, slot),
                                from, arrival);
        } else if (net.method == kProbeDatagram && type == 0) {
            request[0] = kIcmpEchoReply;
            net.QueueSocketReply(request, from, arrival);
        } else if (net.method == kProbeDatagram && type != 255) {
            net.QueueSocketError(type, code, request, from, arrival);
        } else if (net.method == kProbeSystem) {
            const DWORD unreachable[] = {kIpDestNetUnreachable,  kIpDestHostUnreachable,
                                         kIpDestProtUnreachable, kIpDestPortUnreachable,
                                         kIpPacketTooBig,        kIpBadRoute};
            const DWORD status = type == 0    ? kIpSuccess
                                 : type == 11 ? kIpTtlExpiredTransit
                                 : type == 3  ? unreachable[code]
                                              : kIpReqTimedOut;
            net.QueueServiceAnswer(SIcmpServiceAnswer{status, from, id, static_cast<WORD>(slot)},
                                   arrival);
        }
        if (arrival > net.Now())
            net.SetNow(arrival);
        data.ReceiveReply();
    }
    void Answer(DWORD slot, BYTE type, BYTE code, DWORD from, std::int64_t arrival) {
        Answer(slot, type, code, from, arrival, net.ProbeIdentifier());
    }

    // The rows and every outcome the run handed on, as text to compare between the ways.
    std::vector<std::string> Summary() {
        std::vector<std::string> lines;
        for (int row = 0; row < static_cast<int>(data.Rows().size()); ++row) {
            SHopwatchHost host;
            data.GetRow(row, host, 0xFFFFFFFF, TRUE);
            lines.push_back(std::to_string(host.ttl) + " " + std::to_string(host.address) + " " +
                            std::to_string(host.image) + " " +
                            std::string(host.note.begin(), host.note.end()) + " " +
                            std::to_string(host.sent) + "/" + std::to_string(host.received) + "/" +
                            std::to_string(host.lost) + " " + std::to_string(host.lastRtt));
        }
        SHopwatchOutcome outcomes[256];
        DWORD dropped = 0;
        const DWORD count = data.ReadOutcomes(outcomes, 256, dropped);
        for (DWORD i = 0; i < count; ++i)
            lines.push_back("outcome " + std::to_string(outcomes[i].kind) + " hop " +
                            std::to_string(outcomes[i].hop) + " code " +
                            std::to_string(outcomes[i].code) + " rtt " +
                            std::to_string(outcomes[i].rtt));
        return lines;
    }
};

// One script of every outcome: a time exceeded, each unreachable code the service can name, the
// target's reply, a time-out and its late answer, an answer to someone else's probe and (on the
// service) a request that timed out.
std::vector<std::string> RunEveryOutcome(EHopwatchProbeMethod way) {
    SPathRun run(way);
    CTestHopwatchData& data = run.data;
    DWORD slot = data.ProbeHop(1);
    run.Answer(slot, 11, 0, kTestX, run.net.Now() + 300);
    for (BYTE code = 0; code <= 5; ++code) {
        slot = data.ProbeHop(2);
        run.Answer(slot, 3, code, kTestY, run.net.Now() + 200);
        SHopwatchHost hop;
        data.GetRow(2, hop, 0xFFFFFFFF, TRUE);
        EXPECT_EQ(hop.note, CHopwatchData::GetUnreachableText(code)) << "code " << int(code);
    }
    slot = data.ProbeHop(4);
    run.Answer(slot, 0, 0, kTestTarget, run.net.Now() + 700);
    EXPECT_TRUE(data.IsRouteComplete());
    // No answer within the time-out, then a late one.
    const DWORD late = data.ProbeHop(3);
    run.Answer(late, 255, 0, 0, run.net.Now());
    run.net.Advance(run.Ticks(0.6));
    data.ProbeHop(1); // sweeps the time-outs
    run.Answer(late, 11, 0, kTestZ, run.net.Now() + 50);
    // Someone else's probe: another identifier in the answer; the probe stays out and is lost.
    slot = data.ProbeHop(1);
    run.Answer(slot, 0, 0, kTestX, run.net.Now() + 100,
               static_cast<WORD>(run.net.ProbeIdentifier() + 1));
    run.net.Advance(run.Ticks(0.6));
    data.ProbeHop(2);
    return run.Summary();
}

} // namespace

TEST(ProbeMethods, EveryOutcomeReachesReplyProcessingAsOnTheRawSocket) {
    const std::vector<std::string> raw = RunEveryOutcome(kProbeRaw);
    // The script did what it means to: hop 3 answered late, hop 1's foreign answer was lost.
    ASSERT_GE(raw.size(), 5u);
    EXPECT_EQ(raw[3].substr(0, 2), "3 ");
    EXPECT_NE(raw[3].find(" 1/1/0 "), std::string::npos) << raw[3];
    EXPECT_NE(raw[1].find(" 3/1/2 "), std::string::npos) << raw[1];
    EXPECT_EQ(raw[4].rfind("4 " + std::to_string(kTestTarget) + " 3 ", 0), 0u) << raw[4];
    for (EHopwatchProbeMethod way : {kProbeDatagram, kProbeSystem}) {
        SCOPED_TRACE(ProbeMethodName(way));
        EXPECT_EQ(RunEveryOutcome(way), raw);
    }
}

// An ICMP datagram socket returns every unreachable code as it came; the service names only six
// of them and says nothing more of the others.
TEST(ProbeMethods, EveryUnreachableCodeOfTheDatagramSocketAndEveryServiceStatusGiveTheirNote) {
    SPathRun socket(kProbeDatagram);
    for (int code = 0; code < 256; ++code) {
        socket.Answer(socket.data.ProbeHop(2), 3, static_cast<BYTE>(code), kTestY,
                      socket.net.Now() + 10);
        SHopwatchHost hop;
        socket.data.GetRow(2, hop, 0xFFFFFFFF, TRUE);
        ASSERT_EQ(hop.note, CHopwatchData::GetUnreachableText(static_cast<BYTE>(code)));
        ASSERT_EQ(hop.lost, static_cast<DWORD>(code + 1));
    }
    SPathRun service(kProbeSystem);
    const struct {
        DWORD status;
        int code; // -1: no answer, the probe is lost at its time-out
    } statuses[] = {{kIpTimeExceeded, -2},
                    {kIpDestUnreachable, 1},
                    {kIpReqTimedOut, -1},
                    {11050 /* general failure */, -1},
                    {kIpDestPortUnreachable, 3}};
    for (const auto& s : statuses) {
        const DWORD slot = service.data.ProbeHop(2);
        service.net.QueueServiceAnswer(SIcmpServiceAnswer{s.status, kTestY,
                                                          service.net.ProbeIdentifier(),
                                                          static_cast<WORD>(slot)},
                                       service.net.Now() + 10);
        service.net.Advance(10);
        service.data.ReceiveReply();
        SHopwatchHost hop;
        service.data.GetRow(2, hop, 0xFFFFFFFF, TRUE);
        if (s.code >= 0) {
            EXPECT_EQ(hop.note, CHopwatchData::GetUnreachableText(static_cast<BYTE>(s.code)));
        } else if (s.code == -2) {
            EXPECT_EQ(hop.address, kTestY) << "a time exceeded names the router";
        }
        EXPECT_EQ(service.data.m_pings[static_cast<int>(slot)].state,
                  s.code == -1 ? kSlotPending : (s.code == -2 ? kSlotAnswered : kSlotUnreachable))
            << s.status;
    }
}

// The raw socket's answer is timed when it is read; the other ways know when it arrived.
TEST(ProbeMethods, AWiresOwnReceiveTimeIsTheOneThatCounts) {
    for (EHopwatchProbeMethod way : {kProbeRaw, kProbeDatagram, kProbeSystem}) {
        SCOPED_TRACE(ProbeMethodName(way));
        SPathRun run(way);
        const DWORD slot = run.data.ProbeHop(1);
        const std::int64_t sent = run.net.Now();
        run.net.Advance(5000); // read 5 ms after the arrival at 300 us
        run.Answer(slot, 11, 0, kTestX, sent + 300);
        SHopwatchHost hop;
        run.data.GetRow(1, hop, 0xFFFFFFFF, TRUE);
        EXPECT_DOUBLE_EQ(hop.lastRtt, way == kProbeRaw ? 0.005 : 0.0003);
    }
}

TEST(ProbeMethods, StartOpensTheWayTheSettingAsksForAndFallsBackOnlyWhenRawIsRefused) {
    CSettingsSnapshot saved;
    g_bReverseDNS = 0;
    g_dwPingIntervalMS = 100;
    g_dwPingTimeoutMS = 1000;
    g_dwMaxTTL = 30;
    struct SCase {
        DWORD setting;
        DWORD rawError;
        DWORD anyError;
        EHopwatchProbeMethod unprivileged;
        EHopwatchProbeMethod expected;
        const wchar_t* failure; // nullptr: starts
    } cases[] = {
        {kProbeSettingAuto, 0, 0, kProbeDatagram, kProbeRaw, nullptr},
        {kProbeSettingAuto, CFakeHopwatchNetwork::kAccessDenied, 0, kProbeDatagram, kProbeDatagram,
         nullptr},
        {7, CFakeHopwatchNetwork::kAccessDenied, 0, kProbeSystem, kProbeSystem, nullptr},
        {kProbeSettingAuto, 10050, 0, kProbeDatagram, kProbeRaw, L"Failed to open a raw socket"},
        {kProbeSettingRaw, CFakeHopwatchNetwork::kAccessDenied, 0, kProbeDatagram, kProbeRaw,
         L"Failed to open a raw socket"},
        {kProbeSettingSystem, 0, 0, kProbeSystem, kProbeSystem, nullptr},
        {kProbeSettingAuto, 0, CFakeHopwatchNetwork::kAccessDenied, kProbeDatagram, kProbeDatagram,
         L"Failed to open an ICMP datagram socket"},
        {kProbeSettingSystem, 0, 5, kProbeSystem, kProbeSystem,
         L"Failed to open the system's ICMP service"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.setting << " " << c.rawError << " " << c.anyError);
        SScriptedRun run;
        run.net.rawOpenError = c.rawError;
        run.net.openError = c.anyError;
        run.net.unprivilegedMethod = c.unprivileged;
        g_dwProbeMethod = c.setting;
        const BOOL started = run.data.Start(L"198.51.100.9");
        EXPECT_EQ(run.data.GetProbeMethod(), c.expected);
        if (c.failure == nullptr) {
            EXPECT_TRUE(started);
            EXPECT_EQ(run.net.method, c.expected);
            // Up to one probe per hop and interval within the time-out, and the salvo under way.
            EXPECT_EQ(run.net.openMaxOutstanding, 30u * (1000 / 100 + 2));
            EXPECT_EQ(run.net.openTimeoutMs, 1000u);
        } else {
            EXPECT_FALSE(started);
            EXPECT_EQ(run.data.GetErrorText(), c.failure);
            EXPECT_NE(run.data.GetLastErrorCode(), 0u);
        }
        run.data.Stop();
    }
}

// The real worker threads on each way: the scripted route answers in that way's shape (the
// datagram socket with its own identifier in every request) and the rows come out the same.
TEST(ProbeMethods, AWholeRunOnEachWayFindsTheRouteWithExactTimes) {
    for (EHopwatchProbeMethod way : {kProbeDatagram, kProbeSystem}) {
        SCOPED_TRACE(ProbeMethodName(way));
        CSettingsSnapshot saved;
        g_dwProbeMethod = kProbeSettingSystem;
        SThreadedRun run(100, 500, 8, 0);
        run.net.unprivilegedMethod = way;
        run.StopAfterSends(40);
        ASSERT_TRUE(run.RunToTheEnd());
        EXPECT_EQ(run.data.GetLastErrorCode(), 0u);
        EXPECT_EQ(run.data.GetProbeMethod(), way);
        ASSERT_EQ(run.data.GetHopCount(), 5u);
        const DWORD responders[5] = {kTestLocal, kTestX, kTestY, kTestZ, kTestTarget};
        for (int row = 0; row < 5; ++row) {
            SCOPED_TRACE(row);
            SHopwatchHost host;
            ASSERT_TRUE(run.data.GetRow(row, host, 0xFFFFFFFF, TRUE));
            EXPECT_EQ(host.address, responders[row]);
            EXPECT_GT(host.sent, 0u);
            EXPECT_EQ(host.received, host.sent);
            EXPECT_DOUBLE_EQ(host.maxRtt, (row == 0 ? 1 : row) * run.net.hopDelay / 1e6);
        }
        if (way == kProbeDatagram) {
            EXPECT_EQ(run.net.Sent().back().message[4], 0xEF); // the socket's identifier
        }
    }
}
