// The data model's invariants, checked from outside for tests and fuzz targets.
#include "support/hopwatch_invariants.h"

#include <mutex>
#include <vector>

namespace {

bool Fail(std::string& why, const std::string& text) {
    why = text;
    return false;
}

// Every slot in state 2 is on the list and every listed slot is in state 2: the list holds no
// more entries than there are pending slots (so it cannot loop) and exactly as many.
bool CheckPendingList(CTestHopwatchData& data, std::string& why) {
    const int slots = data.m_pings.GetSize();
    const SHopwatchPing* pings = data.m_pings.GetData(); // raw reads: this runs after every input
    const DWORD maxTtl = data.m_maxTtl.load();
    int pending = 0;
    for (int slot = 0; slot < slots; ++slot) {
        if (pings[slot].state == kSlotPending)
            ++pending;
        if (pings[slot].state != kSlotFree && pings[slot].hop >= maxTtl)
            return Fail(why, "slot " + std::to_string(slot) + " names a hop beyond the maximum");
    }
    DWORD previous = kHopwatchNone;
    int listed = 0;
    for (DWORD slot = data.m_pendingHead; slot != kHopwatchNone; slot = pings[slot].nextPending) {
        if (slot >= static_cast<DWORD>(slots) || ++listed > pending)
            return Fail(why, "the pending list holds more than the " + std::to_string(pending) +
                                 " pending slots, at slot " + std::to_string(slot));
        const SHopwatchPing& ping = pings[slot];
        if (ping.state != kSlotPending)
            return Fail(why, "slot " + std::to_string(slot) + " is listed but in state " +
                                 std::to_string(ping.state));
        if (ping.prevPending != previous)
            return Fail(why, "slot " + std::to_string(slot) + " has a wrong backward link");
        if (previous != kHopwatchNone && ping.time < pings[previous].time)
            return Fail(why, "pending list out of send order at slot " + std::to_string(slot));
        previous = slot;
    }
    if (listed != pending)
        return Fail(why, std::to_string(pending - listed) + " pending slots are not listed");
    if (previous != data.m_pendingTail)
        return Fail(why, "the pending tail is not the last listed slot");
    return true;
}

bool CheckChains(CTestHopwatchData& data, std::string& why) {
    const DWORD altCount = data.m_altCount.load();
    std::vector<int> owners(altCount, 0);
    for (int hop = 0; hop < data.m_hops.GetSize(); ++hop) {
        DWORD steps = 0;
        for (DWORD alt = data.m_hops[hop].nextAlternative; alt != kHopwatchNone;
             alt = data.m_alternatives[static_cast<int>(alt)].nextAlternative) {
            if (alt >= altCount)
                return Fail(why, "hop " + std::to_string(hop) + " links to alternative " +
                                     std::to_string(alt) + " of " + std::to_string(altCount));
            if (++steps > altCount)
                return Fail(why, "the chain of hop " + std::to_string(hop) + " loops");
            ++owners[alt];
        }
    }
    for (DWORD alt = 0; alt < altCount; ++alt) {
        if (owners[alt] != 1)
            return Fail(why, "alternative " + std::to_string(alt) + " is in " +
                                 std::to_string(owners[alt]) + " chains");
    }
    return true;
}

bool CheckCounters(CTestHopwatchData& data, std::string& why) {
    if (data.GetVisibleRows() > static_cast<DWORD>(data.m_rows.GetSize()))
        return Fail(why, "visible rows " + std::to_string(data.GetVisibleRows()) + " exceed " +
                             std::to_string(data.m_rows.GetSize()) + " rows");
    const DWORD hopCount = data.m_hopCount.load();
    for (DWORD hop = 0; hop < hopCount && hop < static_cast<DWORD>(data.m_hops.GetSize()); ++hop) {
        const SHopwatchHost& host = data.m_hops[static_cast<int>(hop)];
        if (std::uint64_t{host.received} + host.lost > host.sent)
            return Fail(why, "hop " + std::to_string(hop) + ": received " +
                                 std::to_string(host.received) + " + lost " +
                                 std::to_string(host.lost) + " > sent " +
                                 std::to_string(host.sent));
    }
    return true;
}

} // namespace

bool CheckHopwatchInvariants(CTestHopwatchData& data, std::string& why) {
    std::lock_guard<std::recursive_mutex> guard(data.m_lock);
    return CheckPendingList(data, why) && CheckChains(data, why) && CheckCounters(data, why);
}
