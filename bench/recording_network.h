// The real network with every send noted (time, TTL, destination, allocations so far), and the
// percentile the benchmarks print their figures with.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/CHopwatchSystemNetwork.h"

// Arrays sized before the run, so that noting a send never allocates. allocations, when given,
// is read at every send (a benchmark's allocation counter).
class CRecordingNetwork : public CHopwatchSystemNetwork {
public:
    struct SSend {
        std::int64_t time;
        int ttl;
        DWORD destination; // network byte order
        long allocations;
    };

    explicit CRecordingNetwork(size_t capacity, const std::atomic<long>* allocations = nullptr)
        : m_sends(capacity), m_allocations(allocations) {}
    DWORD SetTtl(int ttl) override {
        m_ttl = ttl;
        return CHopwatchSystemNetwork::SetTtl(ttl);
    }
    DWORD SendTo(const BYTE* message, int length, DWORD address) override {
        const size_t n = m_count.load(std::memory_order_relaxed);
        if (n < m_sends.size()) {
            m_sends[n] = SSend{Now(), m_ttl, address,
                               m_allocations ? m_allocations->load(std::memory_order_relaxed) : 0};
            m_count.store(n + 1, std::memory_order_release);
        }
        return CHopwatchSystemNetwork::SendTo(message, length, address);
    }
    // The sends noted so far; read after the run.
    size_t Count() const { return m_count.load(std::memory_order_acquire); }
    const SSend& operator[](size_t i) const { return m_sends[i]; }

private:
    std::vector<SSend> m_sends;
    const std::atomic<long>* m_allocations;
    std::atomic<size_t> m_count{0};
    int m_ttl = 0; // the ping worker's alone
};

// The value below which the share p (0 to 1) of the values lie; NaN for none.
inline double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}
