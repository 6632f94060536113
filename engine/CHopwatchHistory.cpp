// Per-hop outcome ring and its display window.
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
    SHopwatchHistEntry* entry = Find(id);
    if (entry == nullptr) {
        if (m_used < size)
            ++m_used;
        if (--m_newest < 0)
            m_newest = size - 1;
        entry = &m_entries[m_newest];
    }
    entry->flags = (id & kHistIdMask) | kHistInUse;
    bool negative = false;
    if (HopwatchIsNaN(rt, &negative)) {
        if (negative)
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

CHopwatchHist4Show::CHopwatchHist4Show()
    : version(0), wanted(0), min(HopwatchPositiveNaN()), max(HopwatchPositiveNaN()),
      avg(HopwatchPositiveNaN()), values(64) {}

int CHopwatchHist4Show::Build(const CHopwatchHistory& history) {
    const int used = history.GetUsed();
    int n = wanted < used ? wanted : used;
    if (n < 0)
        n = 0;
    if (version == history.GetVersion() && values.GetSize() == n)
        return 0;
    min = max = avg = HopwatchPositiveNaN();
    version = history.GetVersion();
    if (!values.SetSize(n))
        n = values.GetSize() < n ? values.GetSize() : n; // keep what fits when memory ran out
    const NArray<SHopwatchHistEntry>& entries = history.GetEntries();
    const int size = entries.GetSize();
    int index = history.GetNewest();
    int replies = 0;
    for (int i = 0; i < n && i < size; ++i) {
        const SHopwatchHistEntry& entry = entries[index];
        const bool usable = (entry.flags & kHistInUse) != 0 && !HopwatchIsNaN(entry.rt);
        if (usable && (entry.flags & kHistReceived) != 0 && entry.rt > 0.0) {
            values[i] = entry.rt;
            if (replies++ == 0) {
                min = max = avg = entry.rt;
            } else {
                avg += entry.rt;
                if (entry.rt <= min)
                    min = entry.rt;
                if (entry.rt >= max)
                    max = entry.rt;
            }
        } else if (usable && (entry.flags & kHistAwaiting) != 0) {
            values[i] = -1.0;
        } else {
            values[i] = -2.0;
        }
        if (++index >= size)
            index = 0;
    }
    if (replies > 1)
        avg /= replies;
    return 1;
}
