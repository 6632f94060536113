// Reverse lookups for engine tests that wait until released, so that names stay pending.
#include "support/held_lookups.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {
std::mutex g_mutex;
std::condition_variable g_changed;
bool g_held = false;
int g_started = 0;
} // namespace

bool HeldLookup(DWORD, std::string&) {
    std::unique_lock<std::mutex> lock(g_mutex);
    ++g_started;
    g_changed.notify_all();
    g_changed.wait(lock, [] { return !g_held; });
    return false;
}

void HoldLookups() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_held = true;
    g_started = 0;
}

void ReleaseHeldLookups() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_held = false;
    g_changed.notify_all();
}

bool WaitForHeldLookups(int count, int limitMs) {
    std::unique_lock<std::mutex> lock(g_mutex);
    return g_changed.wait_for(lock, std::chrono::milliseconds(limitMs),
                              [count] { return g_started >= count; });
}
