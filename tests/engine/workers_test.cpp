// Worker threads: start and stop rules, the DNS worker's queue, host names, a real loopback run.
#include <cfloat>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "settings/settings_globals.h"
#include "support/SThreadedRun.h"
#include "support/held_lookups.h"

namespace {
const DWORD kTarget = kTestTarget;
const DWORD kX = kTestX;
const DWORD kY = kTestY;
const DWORD kZ = kTestZ;

// Polls a condition every 10 ms for at most the given time.
template <class F> bool WaitFor(F condition, int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 10) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

class CWaitingThread : public CNWorkerThread {
public:
    ~CWaitingThread() override { Stop(); }
    std::atomic<bool> quit{false};

protected:
    DWORD Run() override {
        while (ShouldContinue() && !quit.load())
            WaitForWork();
        return 7;
    }
};

std::mutex g_lookupMutex;
std::vector<DWORD> g_lookups;

bool FakeLookup(DWORD address, std::string& name) {
    std::lock_guard<std::mutex> guard(g_lookupMutex);
    g_lookups.push_back(address);
    if (address == kZ)
        return false; // a failed lookup
    name = "host" + std::to_string(g_lookups.size()) + ".test";
    return true;
}

CString NameOfRow(CHopwatchData& data, int row) {
    SHopwatchHost host;
    data.GetRow(row, host, 0xFFFFFFFF, TRUE);
    return host.name;
}
} // namespace

TEST(CNWorkerThread, StartStopAndEndingByItself) {
    CWaitingThread thread;
    EXPECT_TRUE(thread.Stop()); // never started
    ASSERT_TRUE(thread.Start());
    SetLastSystemError(0);
    EXPECT_FALSE(thread.Start());
    EXPECT_EQ(GetLastSystemError(), 170u);
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_TRUE(thread.Stop(5000));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.GetExitCode(), 7u);

    ASSERT_TRUE(thread.Start()); // restart after a stop
    thread.quit = true;
    thread.PostWork();
    ASSERT_TRUE(WaitFor([&] { return !thread.IsRunning(); }));
    EXPECT_TRUE(thread.Stop()); // ended by itself: returns at once
    EXPECT_FALSE(thread.SignalStop());
    thread.quit = false;
    EXPECT_TRUE(thread.Start());
    EXPECT_TRUE(thread.SignalStop());
    EXPECT_TRUE(thread.Stop());
}

TEST(CHopwatchDNSWorker, LooksUpQueuedAddressesInOrder) {
    CFakeHopwatchNetwork net;
    net.target = kTarget;
    CTestHopwatchData data(&net);
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9"));
    {
        std::lock_guard<std::recursive_mutex> guard(data.m_lock);
        data.m_hopCount.store(4);
        data.m_hops[1].address = kX;
        data.m_hops[2].address = kY;
        data.m_hops[3].address = kZ;
        data.m_hops[3].name = kHopwatchLookingUp;
        data.RebuildRows();
    }
    EXPECT_FALSE(data.m_dnsWorker.QueueLookup(kX)); // not running
    g_lookups.clear();
    data.m_dnsWorker.SetLookupFunction(&FakeLookup);
    ASSERT_TRUE(data.m_dnsWorker.Start());
    EXPECT_FALSE(data.m_dnsWorker.QueueLookup(0));
    EXPECT_FALSE(data.m_dnsWorker.QueueLookup(0xFFFFFFFF));
    const DWORD rowsVersion = data.GetRowsVersion();
    EXPECT_TRUE(data.m_dnsWorker.QueueLookup(kX));
    EXPECT_TRUE(data.m_dnsWorker.QueueLookup(kY));
    EXPECT_TRUE(data.m_dnsWorker.QueueLookup(kZ));
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> guard(g_lookupMutex);
        return g_lookups.size() == 3;
    }));
    data.m_dnsWorker.Stop();
    EXPECT_EQ(g_lookups, (std::vector<DWORD>{kX, kY, kZ}));
    EXPECT_EQ(NameOfRow(data, 1), L"host1.test");
    EXPECT_EQ(NameOfRow(data, 2), L"host2.test");
    EXPECT_EQ(NameOfRow(data, 3), L""); // the failed lookup clears the marker
    EXPECT_NE(data.GetRowsVersion(), rowsVersion);
}

// A run that ends while lookups are still queued or running (a name server that never answers)
// leaves no record with the look-up marker as its name, and no marker is set after the end.
TEST(CHopwatchDNSWorker, EndingWithLookupsUndoneLeavesNoMarker) {
    SScriptedRun run;
    CTestHopwatchData& data = run.data;
    ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 1000, 5000, 8, 1));
    HoldLookups();
    data.m_dnsWorker.SetLookupFunction(&HeldLookup);
    ASSERT_TRUE(data.m_dnsWorker.Start());
    const DWORD responders[3] = {kX, kY, kZ};
    for (DWORD hop = 1; hop <= 3; ++hop)
        data.Feed(MakeIcmpError(11, 0, run.Id(), data.ProbeHop(hop)), responders[hop - 1],
                  run.net.Now());
    ASSERT_TRUE(WaitForHeldLookups(1)); // X is being looked up, Y and Z wait in the queue
    EXPECT_EQ(NameOfRow(data, 2), kHopwatchLookingUp);
    EXPECT_EQ(NameOfRow(data, 3), kHopwatchLookingUp);
    DWORD versions[4];
    for (int row = 1; row <= 3; ++row) {
        SHopwatchHost host;
        data.GetRow(row, host, 0xFFFFFFFF, TRUE);
        versions[row] = host.version;
    }
    const DWORD rowsVersion = data.GetRowsVersion();

    data.m_dnsWorker.RequestStop(); // the run ends during the lookup of X
    ReleaseHeldLookups();
    ASSERT_TRUE(data.m_dnsWorker.Stop(5000));
    EXPECT_EQ(data.m_dnsWorker.GetExitCode(), CHopwatchData::kErrorCancelled);
    for (int row = 1; row <= 3; ++row) {
        SHopwatchHost host;
        ASSERT_TRUE(data.GetRow(row, host, 0xFFFFFFFF, TRUE));
        EXPECT_EQ(host.name, L"") << "row " << row;
        EXPECT_NE(host.version, versions[row]) << "row " << row;
    }
    EXPECT_NE(data.GetRowsVersion(), rowsVersion);

    // A new responder answering after the lookups ended gets no marker either.
    data.Feed(MakeIcmpError(11, 0, run.Id(), data.ProbeHop(4)), kTestTarget ^ 0x01000000,
              run.net.Now());
    SHopwatchHost late;
    ASSERT_TRUE(data.GetRow(4, late, 0xFFFFFFFF, TRUE));
    EXPECT_NE(late.address, kHopwatchNone);
    EXPECT_EQ(late.name, L"");
}

// With a name server that never answers, a look-up blocks for many seconds: stopping the DNS
// worker never waits for it. The look-up is abandoned; its thread ends when the look-up does.
TEST(CHopwatchDNSWorker, StopNeverWaitsForALookUp) {
    SScriptedRun run;
    ASSERT_TRUE(run.data.BeginRun(L"198.51.100.9", 1000, 5000, 8, 1));
    HoldLookups();
    run.data.m_dnsWorker.SetLookupFunction(&HeldLookup);
    ASSERT_TRUE(run.data.m_dnsWorker.Start());
    run.data.Feed(MakeIcmpError(11, 0, run.Id(), run.data.ProbeHop(1)), kX, run.net.Now());
    ASSERT_TRUE(WaitForHeldLookups(1));
    EXPECT_TRUE(run.data.m_dnsWorker.Stop(2000));
    EXPECT_EQ(run.data.m_dnsWorker.GetExitCode(), CHopwatchData::kErrorCancelled);
    EXPECT_EQ(NameOfRow(run.data, 1), L"");
    ReleaseHeldLookups();
}

// The same for the ping worker resolving the target: Stop ends the run at once, a graceful stop
// too (nothing is pending yet), and neither stores an error. The answers come only after the
// run, its data and its network are gone (as at the program's end): they are dropped and touch
// nothing that went.
TEST(CHopwatchData, StoppingNeverWaitsForTheTargetsResolution) {
    std::mutex mutex;
    std::condition_variable changed;
    bool held = true;
    int resolving = 0;
    int returned = 0;
    auto run = std::make_unique<SThreadedRun>();
    run->net.onResolve = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        ++resolving;
        changed.notify_all();
        changed.wait(lock, [&] { return !held; });
        ++returned;
        changed.notify_all();
    };
    auto waitFor = [&](int& count, int value) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return count >= value; });
    };
    auto release = [&] {
        std::lock_guard<std::mutex> guard(mutex);
        held = false;
        changed.notify_all();
    };
    ASSERT_TRUE(run->data.Start(L"target.example"));
    ASSERT_TRUE(waitFor(resolving, 1));
    if (!run->data.m_pingWorker.Stop(2000)) { // what Stop does, with a limit
        ADD_FAILURE() << "the ping worker waited for the resolver";
        release();
    }
    run->data.Stop();
    EXPECT_EQ(run->data.m_pingWorker.GetExitCode(), CHopwatchData::kErrorCancelled);
    EXPECT_EQ(run->data.GetLastErrorCode(), 0u);

    ASSERT_TRUE(run->data.Start(L"target.example"));
    ASSERT_TRUE(waitFor(resolving, 2));
    run->data.RequestStop();
    EXPECT_TRUE(run->data.m_pingWorker.WaitForEnd(2000));
    EXPECT_TRUE(run->data.m_dnsWorker.WaitForEnd(2000));
    EXPECT_EQ(run->data.GetLastErrorCode(), 0u);
    EXPECT_EQ(run->data.GetTargetAddress(), kHopwatchNone);
    EXPECT_TRUE(run->net.Sent().empty());
    run.reset();
    release();
    ASSERT_TRUE(waitFor(returned, 2)); // the abandoned calls are done
}

TEST(CHopwatchData, TargetNameExtendsTheTitleOnce) {
    CFakeHopwatchNetwork net;
    net.target = kTarget;
    CTestHopwatchData data(&net);
    ASSERT_TRUE(data.BeginRun(L" target.example "));
    CString title;
    const int version = data.GetTitle(title, 0);
    EXPECT_EQ(version, 1);
    EXPECT_EQ(title, L"target.example -> 198.51.100.9");
    data.ApplyHostName(kTarget, L""); // failed lookup: unchanged, may still come later
    EXPECT_EQ(data.GetTitle(title, version), version);
    data.ApplyHostName(kTarget, L"router.example");
    EXPECT_LT(data.GetTitle(title, version), 0);
    EXPECT_EQ(title, L"target.example -> 198.51.100.9 -> router.example");
    data.ApplyHostName(kTarget, L"again.example"); // once per run
    data.GetTitle(title, 0);
    EXPECT_EQ(title, L"target.example -> 198.51.100.9 -> router.example");

    // The name equal to the typed text finishes the title without repeating it.
    ASSERT_TRUE(data.BeginRun(L"router.example"));
    data.m_titleVersion.store(0);
    data.ApplyHostName(kTarget, L"router.example");
    EXPECT_EQ(data.m_titleVersion.load(), static_cast<std::int32_t>(0x80000000u));
    data.GetTitle(title, 0);
    EXPECT_EQ(title, L"router.example -> 198.51.100.9");
}

TEST(CHopwatchData, StartReportsFailuresAndResolveErrors) {
    CFakeHopwatchNetwork net;
    net.openError = 10013;
    CHopwatchData data(&net);
    EXPECT_FALSE(data.Start(L"198.51.100.9"));
    EXPECT_EQ(data.GetLastErrorCode(), 10013u);
    EXPECT_EQ(data.GetErrorText(), L"Failed to open a raw socket");

    // The target does not resolve: the ping worker ends and the error is kept, never as code 0.
    net.openError = 0;
    const int reverse = g_bReverseDNS;
    g_bReverseDNS = 0;
    ASSERT_TRUE(data.Start(L" nowhere.invalid "));
    EXPECT_TRUE(WaitFor([&] { return !data.IsPingWorkerRunning(); }));
    data.Stop();
    g_bReverseDNS = reverse;
    EXPECT_EQ(data.GetErrorText(), L"Failed to resolve host IP address (nowhere.invalid)");
    EXPECT_NE(data.GetLastErrorCode(), 0u);
    EXPECT_EQ(data.GetTargetText(), L" nowhere.invalid ");
}

namespace {
// The real socket and clock, but this computer is always 127.0.0.1 so that nothing leaves it.
class CLoopbackNetwork : public CHopwatchSystemNetwork {
public:
    BOOL LocalAddress(DWORD& address) override {
        address = TestIp(127, 0, 0, 1);
        return TRUE;
    }
};

bool NoLookup(DWORD, std::string&) {
    return false;
}
} // namespace

// A whole run with both workers against loopback (target 127.0.0.2, one hop away from hop 0):
// proves that the threads end by themselves after a graceful stop and that the locks are clean.
TEST(CHopwatchData, LoopbackRunStartsAndStopsGracefully) {
    CLoopbackNetwork net;
    CTestHopwatchData data(&net);
    data.m_dnsWorker.SetLookupFunction(&NoLookup);
    const DWORD interval = g_dwPingIntervalMS, timeout = g_dwPingTimeoutMS, ttl = g_dwMaxTTL;
    const int reverse = g_bReverseDNS;
    g_dwPingIntervalMS = 100;
    g_dwPingTimeoutMS = 300;
    g_dwMaxTTL = 4;
    g_bReverseDNS = 1;
    const BOOL started = data.Start(L"127.0.0.2");
    g_dwPingIntervalMS = interval;
    g_dwPingTimeoutMS = timeout;
    g_dwMaxTTL = ttl;
    g_bReverseDNS = reverse;
    if (!started)
        GTEST_SKIP() << "no raw ICMP socket here (needs root): error " << data.GetLastErrorCode();

    EXPECT_TRUE(WaitFor([&] {
        SHopwatchHost hop;
        return data.GetRow(1, hop, 0xFFFFFFFF, TRUE) && hop.received >= 2;
    }));
    data.RequestStop();
    EXPECT_TRUE(WaitFor([&] { return !data.IsPingWorkerRunning() && !data.IsDNSWorkerRunning(); }));
    data.Stop();
    EXPECT_EQ(data.GetLastErrorCode(), 0u)
        << std::string(data.GetErrorText().begin(), data.GetErrorText().end());
    EXPECT_TRUE(data.IsRouteComplete());
    EXPECT_EQ(data.GetHopCount(), 2u);
    SHopwatchHost self, target;
    ASSERT_TRUE(data.GetRow(0, self, 0xFFFFFFFF, TRUE));
    ASSERT_TRUE(data.GetRow(1, target, 0xFFFFFFFF, TRUE));
    EXPECT_EQ(self.address, TestIp(127, 0, 0, 1));
    EXPECT_EQ(self.image, kImageLocal);
    EXPECT_GE(self.received, 1u);
    EXPECT_EQ(target.address, TestIp(127, 0, 0, 2));
    EXPECT_EQ(target.image, kImageTarget);
    EXPECT_EQ(target.lost, 0u);
    EXPECT_EQ(data.GetPendingTimeLeft(), -DBL_MAX);
}
