// The long-running route both refresh benchmarks measure: hops that have answered hundreds of
// probes, alternatives of split hops, and a full graph in every row.
#pragma once

#include <cstring>
#include <string>

#include "results/CHopwatchRecordRows.h"

constexpr int kLongRouteHops = 256;
constexpr int kLongRouteAlternatives = 128;
constexpr int kLongRouteRows = kLongRouteHops + kLongRouteAlternatives;

// 198.51.100.x and on: documentation addresses, never sent to.
inline DWORD LongRouteAddress(int index) {
    const BYTE bytes[4] = {198, 51, static_cast<BYTE>(100 + index / 256),
                           static_cast<BYTE>(index % 256)};
    DWORD value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// FALSE when the rows cannot be had.
inline bool FillLongRoute(CHopwatchRecordRows& rows) {
    if (!rows.SetRowCount(kLongRouteRows))
        return false;
    for (int r = 0; r < kLongRouteRows; ++r) {
        SHopwatchHost& host = rows.Host(r);
        bool alternative = r >= kLongRouteHops;
        host.version = 500;
        host.ttl = alternative ? 0 : static_cast<DWORD>(r);
        host.image = alternative ? kImageAlternative : kImageAnswering;
        host.address = LongRouteAddress(r);
        host.name = L"router-" + std::to_wstring(r) + L".example.net";
        host.sent = alternative ? 0 : 1000;
        host.received = alternative ? 300 : 990;
        host.lost = alternative ? 0 : 10;
        host.lastRtt = 0.001 * (1 + r % 50);
        host.minRtt = host.lastRtt * 0.5;
        host.maxRtt = host.lastRtt * 3;
        host.sumRtt = host.lastRtt * host.received;
        for (DWORD id = 0; id < 400; ++id)
            rows.History(r).Add(id, host.lastRtt);
    }
    SHopwatchColumnMaxima maxima;
    maxima.sent = 1000;
    maxima.received = 990;
    maxima.lost = 10;
    maxima.lastRtt = maxima.minRtt = maxima.avgRtt = maxima.maxRtt = 0.150;
    rows.SetColumnMaxima(maxima);
    return true;
}
