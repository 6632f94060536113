// Wire-side failures injected through the scripted network: texts, codes, workers, slots.
#include <memory>

#include <gtest/gtest.h>

#include "support/SThreadedRun.h"
#include "support/hopwatch_invariants.h"

namespace {

struct SWireFault {
    const char* what;
    CFakeHopwatchNetwork::SFault CFakeHopwatchNetwork::*fault;
    DWORD code;
    const wchar_t* text;
    bool duringSend; // the failed probe's slot was taken
};

const SWireFault kWireFaults[] = {
    {"ttl", &CFakeHopwatchNetwork::ttlFault, 10022, L"Failed setting raw socket ttl option", true},
    {"sendto", &CFakeHopwatchNetwork::sendFault, 10038, L"Failed on raw socket sendto", true},
    {"wait", &CFakeHopwatchNetwork::waitFault, 10038, L"Failed on raw socket receive select",
     false},
    {"recvfrom", &CFakeHopwatchNetwork::receiveFault, 10054, L"Failed on raw socket recvfrom",
     false},
};

std::string Narrow(const CString& text) {
    return std::string(text.begin(), text.end());
}

} // namespace

// Each socket call failing in the middle of a run stores its text and code, stops both workers
// (the ping worker with the code as its exit code) and leaves the tables consistent.
TEST(WireFaults, ASocketFailureEndsTheRunWithItsTextAndCode) {
    for (const SWireFault& fault : kWireFaults) {
        SCOPED_TRACE(fault.what);
        auto run = std::make_unique<SThreadedRun>();
        run->net.*fault.fault = CFakeHopwatchNetwork::SFault{fault.code, 5};
        ASSERT_TRUE(run->RunToTheEnd());
        CTestHopwatchData& data = run->data;
        EXPECT_EQ(data.GetLastErrorCode(), fault.code);
        EXPECT_EQ(data.GetErrorText(), fault.text);
        EXPECT_FALSE(data.IsPingWorkerRunning());
        EXPECT_FALSE(data.IsDNSWorkerRunning());
        EXPECT_EQ(data.m_pingWorker.GetExitCode(), fault.code);
        // The DNS worker ends with 0, or 1223 when the stop came with lookups still queued.
        const DWORD dnsExit = data.m_dnsWorker.GetExitCode();
        EXPECT_TRUE(dnsExit == 0 || dnsExit == CHopwatchData::kErrorCancelled) << dnsExit;
        if (fault.duringSend) {
            // The probe that could not go out keeps its slot taken until the next run, and is
            // neither pending nor counted as sent.
            EXPECT_EQ(run->net.Sent().size(), 5u);
            const DWORD slot = data.m_lastSlot.load();
            EXPECT_EQ(data.m_pings[static_cast<int>(slot)].state, kSlotTaken);
            DWORD sent = 0;
            for (int hop = 0; hop < data.m_hops.GetSize(); ++hop)
                sent += data.m_hops[hop].sent;
            EXPECT_EQ(sent, 5u);
        }
        std::string why;
        EXPECT_TRUE(CheckHopwatchInvariants(data, why)) << why;
        data.Stop(); // a stopped run keeps its error for the dialog
        EXPECT_EQ(data.GetLastErrorCode(), fault.code);
        EXPECT_EQ(Narrow(data.GetErrorText()), Narrow(fault.text));
    }
}

TEST(WireFaults, AWorkerThatCannotStartFailsTheStart) {
    SThreadedRun run;
    CTestHopwatchData& data = run.data;
    run.net.startFault = CFakeHopwatchNetwork::SFault{8, 0, 1}; // the DNS worker starts first
    EXPECT_FALSE(data.Start(L"198.51.100.9"));
    EXPECT_EQ(data.GetLastErrorCode(), 8u);
    EXPECT_EQ(data.GetErrorText(), L"Failed to start DNS worker");
    EXPECT_FALSE(data.IsDNSWorkerRunning());
    EXPECT_FALSE(data.IsPingWorkerRunning());

    // The ping worker fails after the DNS worker has started: that one is asked to stop.
    run.net.startFault = CFakeHopwatchNetwork::SFault{1455, 1, 1};
    EXPECT_FALSE(data.Start(L"198.51.100.9"));
    EXPECT_EQ(data.GetLastErrorCode(), 1455u);
    EXPECT_EQ(data.GetErrorText(), L"Failed to start ping worker");
    EXPECT_TRUE(data.m_dnsWorker.WaitForEnd(5000));
    EXPECT_EQ(data.m_dnsWorker.GetExitCode(), 0u);
    EXPECT_FALSE(data.IsPingWorkerRunning());
    EXPECT_TRUE(run.net.Sent().empty());

    // A start that works again after a failed one.
    run.StopAfterSends(10);
    ASSERT_TRUE(run.RunToTheEnd());
    EXPECT_EQ(data.GetLastErrorCode(), 0u);
    EXPECT_EQ(data.GetErrorText(), L"");
}

// Winsock fails a datagram larger than the 4096-byte buffer with WSAEMSGSIZE (10040); such a
// datagram (a big ping from another host) is dropped and the run goes on.
TEST(WireFaults, ADatagramLargerThanTheBufferIsDroppedAndProbingGoesOn) {
    SThreadedRun run;
    CTestHopwatchData& data = run.data;
    run.net.QueueDatagramAt(std::vector<BYTE>(5000, 0x45), TestIp(192, 0, 2, 99),
                            run.net.Now() + 5000);
    run.StopAfterSends(30);
    ASSERT_TRUE(run.RunToTheEnd());
    EXPECT_EQ(run.net.truncated, 1);
    EXPECT_EQ(data.GetLastErrorCode(), 0u) << Narrow(data.GetErrorText());
    EXPECT_EQ(data.m_pingWorker.GetExitCode(), 0u);
    EXPECT_EQ(run.net.Sent().size(), 30u);
    EXPECT_TRUE(data.IsRouteComplete());
}
