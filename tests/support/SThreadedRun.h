// SThreadedRun: a whole run with both worker threads on the scripted network and its clock.
#pragma once

#include <atomic>
#include <cstring>
#include <string>

#include "settings/settings_globals.h"
#include "support/SScriptedRun.h"

// Three routers and the target four hops away answer every probe by themselves; the settings
// are those given and come back when the run is destroyed. The clock is the network's, so a run
// of seconds takes milliseconds. Reverse lookups answer at once with "a-b-c-d.test".
struct SThreadedRun : SScriptedRun {
    explicit SThreadedRun(DWORD intervalMs = 100, DWORD timeoutMs = 500, DWORD maxTtl = 8,
                          int reverseDns = 1)
        : m_interval(g_dwPingIntervalMS), m_timeout(g_dwPingTimeoutMS), m_maxTtl(g_dwMaxTTL),
          m_reverse(g_bReverseDNS) {
        g_dwPingIntervalMS = intervalMs;
        g_dwPingTimeoutMS = timeoutMs;
        g_dwMaxTTL = maxTtl;
        g_bReverseDNS = reverseDns;
        net.route = {kTestX, kTestY, kTestZ};
        data.m_dnsWorker.SetLookupFunction(&NameOf);
    }
    ~SThreadedRun() {
        data.Stop();
        g_dwPingIntervalMS = m_interval;
        g_dwPingTimeoutMS = m_timeout;
        g_dwMaxTTL = m_maxTtl;
        g_bReverseDNS = m_reverse;
    }

    // Asks the run to finish gracefully from inside the count-th send.
    void StopAfterSends(int count) {
        net.onSend = [this, count](const CFakeHopwatchNetwork::SSent&) {
            if (++sends >= count)
                data.RequestStop();
        };
    }
    // Starts the run and waits (bounded) until both workers have ended by themselves.
    bool RunToTheEnd(const CString& host = L"198.51.100.9") {
        if (!data.Start(host))
            return false;
        return data.m_pingWorker.WaitForEnd(20000) && data.m_dnsWorker.WaitForEnd(20000);
    }

    static bool NameOf(DWORD address, std::string& name) {
        BYTE bytes[4];
        std::memcpy(bytes, &address, 4);
        name = std::to_string(bytes[0]) + "-" + std::to_string(bytes[1]) + "-" +
               std::to_string(bytes[2]) + "-" + std::to_string(bytes[3]) + ".test";
        return true;
    }

    std::atomic<int> sends{0};

private:
    DWORD m_interval;
    DWORD m_timeout;
    DWORD m_maxTtl;
    int m_reverse;
};
