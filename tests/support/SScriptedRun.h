// SScriptedRun: a data model on a scripted network, and the addresses of the scripted runs.
#pragma once

#include <cstdint>

#include "support/CFakeHopwatchNetwork.h"
#include "support/CTestHopwatchData.h"
#include "support/test_datagrams.h"

// The addresses of the scripted runs: the target, this computer and three routers (TEST-NET).
inline const DWORD kTestTarget = TestIp(198, 51, 100, 9);
inline const DWORD kTestLocal = TestIp(192, 0, 2, 10);
inline const DWORD kTestX = TestIp(203, 0, 113, 1);
inline const DWORD kTestY = TestIp(203, 0, 113, 2);
inline const DWORD kTestZ = TestIp(203, 0, 113, 3);

// A data model on a scripted network whose target and local address resolve.
struct SScriptedRun {
    SScriptedRun() : data(&net) {
        net.target = kTestTarget;
        net.local = kTestLocal;
    }
    // The identifier our probes carry.
    DWORD Id() const { return net.processId & 0xFFFF; }
    std::int64_t Ticks(double seconds) const {
        return static_cast<std::int64_t>(seconds * static_cast<double>(net.frequency));
    }

    CFakeHopwatchNetwork net;
    CTestHopwatchData data;
};
