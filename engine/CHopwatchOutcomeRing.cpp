// CHopwatchOutcomeRing: single-writer, single-reader ring of probe outcomes.
#include "engine/CHopwatchOutcomeRing.h"

namespace {
constexpr DWORD kMaxCapacity = 1u << 24;
}

BOOL CHopwatchOutcomeRing::Reset(DWORD capacity) {
    m_written.store(0);
    m_read.store(0);
    m_dropped.store(0);
    m_mask = 0;
    if (capacity == 0)
        return TRUE;
    DWORD size = 2;
    while (size < capacity && size < kMaxCapacity)
        size <<= 1;
    if (!m_items.SetSize(static_cast<int>(size)))
        return FALSE;
    m_mask = size - 1;
    return TRUE;
}

void CHopwatchOutcomeRing::Push(const SHopwatchOutcome& outcome) {
    if (m_mask == 0)
        return;
    const std::uint64_t written = m_written.load(std::memory_order_relaxed);
    if (written - m_read.load(std::memory_order_acquire) > m_mask) {
        m_dropped.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    m_items[static_cast<int>(written & m_mask)] = outcome;
    m_written.store(written + 1, std::memory_order_release);
}

DWORD CHopwatchOutcomeRing::Read(SHopwatchOutcome* out, DWORD max, DWORD& dropped) {
    dropped = m_dropped.exchange(0, std::memory_order_relaxed);
    if (m_mask == 0)
        return 0;
    const std::uint64_t read = m_read.load(std::memory_order_relaxed);
    const std::uint64_t available = m_written.load(std::memory_order_acquire) - read;
    const DWORD count = available < max ? static_cast<DWORD>(available) : max;
    for (DWORD i = 0; i < count; ++i)
        out[i] = m_items[static_cast<int>((read + i) & m_mask)];
    m_read.store(read + count, std::memory_order_release);
    return count;
}
