// CHopwatchHistory: per-hop ring of the most recent probe outcomes.
#include "engine/CHopwatchHistory.h"

#include <cstring>

bool HopwatchIsNaN(double value, bool* negative) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (negative != nullptr)
        *negative = (bits >> 63) != 0;
    const std::uint64_t exponent = (bits >> 52) & 0x7FF;
    const std::uint64_t fraction = bits & 0x000FFFFFFFFFFFFFull;
    return exponent == 0x7FF && fraction != 0;
}

static double FromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double HopwatchNegativeNaN() {
    return FromBits(0xFFF8000000000000ull);
}

double HopwatchPositiveNaN() {
    return FromBits(0x7FF8000000000000ull);
}

CHopwatchHistory::CHopwatchHistory() {
    // Allocated once at full size so that recording an outcome never allocates.
    if (m_entries.SetSize(kHistRingSize))
        std::memset(static_cast<void*>(m_entries.GetData()), 0,
                    sizeof(SHopwatchHistEntry) * kHistRingSize);
}

SHopwatchHistEntry* CHopwatchHistory::Find(DWORD id) {
    const int size = m_entries.GetSize();
    int index = m_newest;
    for (int i = 0; i < m_used && size > 0; ++i) {
        SHopwatchHistEntry& entry = m_entries[index];
        if ((entry.flags & kHistInUse) == 0 || HopwatchIsNaN(entry.rt))
            return nullptr;
        if ((entry.flags & kHistIdMask) == (id & kHistIdMask))
            return &entry;
        if (++index >= size)
            index = 0;
    }
    return nullptr;
}

void CHopwatchHistory::Add(DWORD id, const double& rt) {
    const int size = m_entries.GetSize();
    if (size == 0)
        return;
    bool awaiting = false;
    const bool isNaN = HopwatchIsNaN(rt, &awaiting);
    // A probe just sent always takes a new slot. Slot numbers come round again every 65,536
    // probes, and on a route whose hop count divides that (32 hops, say) a hop sees its own ids
    // again while its ring still holds them: matching the old entry would rewrite it in place,
    // deep in the ring, and the newest end of the graph would stand still from then on.
    SHopwatchHistEntry* entry = isNaN && awaiting ? nullptr : Find(id);
    if (entry == nullptr) {
        if (m_used < size)
            ++m_used;
        if (--m_newest < 0)
            m_newest = size - 1;
        entry = &m_entries[m_newest];
    }
    entry->flags = (id & kHistIdMask) | kHistInUse;
    if (isNaN) {
        if (awaiting)
            entry->flags |= kHistAwaiting;
        entry->rt = 0.0;
    } else {
        entry->flags |= kHistReceived;
        entry->rt = rt;
    }
    ++m_version;
}

void CHopwatchHistory::Clear() {
    ++m_version;
    m_newest = 0;
    m_used = 0;
    if (m_entries.GetSize() > 0)
        std::memset(static_cast<void*>(m_entries.GetData()), 0,
                    sizeof(SHopwatchHistEntry) * static_cast<size_t>(m_entries.GetSize()));
}
