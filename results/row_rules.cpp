// What a results row shows of a hop record, stated once for the list, the CSV and the report.
#include "results/row_rules.h"

#include <cmath>
#include <cstdint>

#include "engine/inet_address.h"

bool HopwatchRowHasAddress(const SHopwatchHost& host) {
    return host.address != 0 && host.address != kHopwatchNone;
}

CString HopwatchRowAddressText(const SHopwatchHost& host) {
    if (!HopwatchRowHasAddress(host))
        return CString();
    CString text = FormatDottedAddress(host.address);
    if (host.image == kImageAlternative)
        text.insert(0, L"  ");
    return text;
}

BOOL HopwatchLossPercent(const SHopwatchHost& host, DWORD& percent) {
    const std::uint64_t answered = std::uint64_t{host.received} + host.lost;
    if (host.sent == 0 || answered == 0)
        return FALSE;
    percent = static_cast<DWORD>(std::uint64_t{host.lost} * 100 / answered);
    return TRUE;
}

bool HopwatchRowShowsLost(const SHopwatchHost& host) {
    return host.sent != 0;
}

bool HopwatchRowTime(const SHopwatchHost& host, EHopwatchRowTime which, double& seconds) {
    if (host.received == 0)
        return false;
    switch (which) {
    case kRowTimeLast:
        seconds = host.lastRtt;
        break;
    case kRowTimeMin:
        seconds = host.minRtt;
        break;
    case kRowTimeAvg:
        seconds = host.sumRtt / host.received;
        break;
    case kRowTimeStdDev:
        if (host.received < 2)
            return false;
        // Rounding may leave a spread of equal times a hair below zero.
        seconds =
            host.squaredDeviations > 0.0 ? std::sqrt(host.squaredDeviations / host.received) : 0.0;
        break;
    case kRowTimeJitter:
        if (host.received < 2)
            return false;
        seconds = host.jitterSum / (host.received - 1);
        break;
    default:
        seconds = host.maxRtt;
        break;
    }
    return !std::isnan(seconds);
}
