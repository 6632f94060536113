// Counts every allocation of a benchmark process; include from exactly one file per benchmark.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

// Number of operator new calls so far, for figures such as allocations per tick or per probe;
// and those of the calling thread alone, to tell a worker's own from the rest.
inline std::atomic<long> g_benchAllocations{0};
inline thread_local long t_benchThreadAllocations = 0;

// The replacement operators must not be inline, so this header belongs to one translation unit
// of each benchmark executable (every bench/*.cpp is an executable of its own).
void* operator new(std::size_t size) {
    g_benchAllocations.fetch_add(1, std::memory_order_relaxed);
    ++t_benchThreadAllocations;
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
