// The figures of a responder record: starting them, adding a round trip, the column maxima.
#include "engine/host_figures.h"

#include <cfloat>
#include <cmath>

#include "engine/CHopwatchHistory.h"

void HopwatchClearFigures(SHopwatchHost& host) {
    host.sent = host.received = host.lost = 0;
    host.lastRtt = HopwatchPositiveNaN();
    host.minRtt = DBL_MAX;
    host.sumRtt = 0.0;
    host.maxRtt = -DBL_MAX;
    host.squaredDeviations = host.jitterSum = 0.0;
}

void HopwatchAddRtt(SHopwatchHost& host, double rtt) {
    const double previous = host.lastRtt;
    host.lastRtt = rtt;
    if (host.received++ == 0) {
        host.minRtt = host.maxRtt = host.sumRtt = rtt;
        host.squaredDeviations = host.jitterSum = 0.0;
        return;
    }
    host.maxRtt = host.maxRtt > rtt ? host.maxRtt : rtt;
    host.minRtt = host.minRtt < rtt ? host.minRtt : rtt;
    const double oldMean = host.sumRtt / (host.received - 1);
    host.sumRtt += rtt;
    host.squaredDeviations += (rtt - oldMean) * (rtt - host.sumRtt / host.received);
    host.jitterSum += std::fabs(rtt - previous);
}

SHopwatchColumnMaxima HopwatchColumnMaxima(const SHopwatchHost* hops, DWORD count) {
    SHopwatchColumnMaxima result;
    for (DWORD i = 0; i < count; ++i) {
        const SHopwatchHost& host = hops[i];
        if (host.sent > result.sent)
            result.sent = host.sent;
        if (host.received > result.received)
            result.received = host.received;
        if (host.lost > result.lost)
            result.lost = host.lost;
        if (host.received > 0) {
            if (host.lastRtt > result.lastRtt)
                result.lastRtt = host.lastRtt;
            const double avg = host.sumRtt / host.received;
            if (avg > result.avgRtt)
                result.avgRtt = avg;
        }
        if (host.minRtt != DBL_MAX && host.minRtt > result.minRtt)
            result.minRtt = host.minRtt;
        if (host.maxRtt > result.maxRtt)
            result.maxRtt = host.maxRtt;
    }
    return result;
}
