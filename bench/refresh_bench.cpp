// Benchmark: cost of one results list refresh tick with 256 hops and 128 alternatives, when
// nothing changed and when one hop changed; prints microseconds, share of the 125 ms tick and
// allocations per tick.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/allocation_counter.h"
#include "bench/long_route.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRecordRows.h"
#include "results/CHopwatchRowRefresher.h"

namespace {

constexpr int kHops = kLongRouteHops;
constexpr int kAlternatives = kLongRouteAlternatives;
constexpr int kRows = kLongRouteRows;
constexpr int kGraphWidth = 200; // a wide "Note / History" column, in pixels
constexpr double kTickMicroseconds = 125000.0;

struct SFigures {
    double microseconds;
    double allocations;
};

template <class Change>
SFigures Measure(CHopwatchRowRefresher& refresher, CHopwatchRecordRows& rows,
                 CHopwatchMemoryList& list, int ticks, Change change) {
    long allocationsBefore = g_benchAllocations.load();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < ticks; ++i) {
        change(i);
        refresher.Refresh(rows, list);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    double total = std::chrono::duration<double, std::micro>(elapsed).count();
    return {total / ticks,
            static_cast<double>(g_benchAllocations.load() - allocationsBefore) / ticks};
}

void Print(const char* what, const SFigures& figures) {
    std::printf("%-34s %10.1f us/tick  %8.4f %% of a 125 ms tick  %8.1f allocations/tick\n", what,
                figures.microseconds, 100.0 * figures.microseconds / kTickMicroseconds,
                figures.allocations);
}

} // namespace

int main() {
    CHopwatchRecordRows rows;
    if (!FillLongRoute(rows)) {
        std::fprintf(stderr, "out of memory\n");
        return 1;
    }
    CHopwatchMemoryList list;
    list.SetHistoryWidth(kGraphWidth);
    CHopwatchRowRefresher refresher;

    SFigures first = Measure(refresher, rows, list, 1, [](int) {});
    // Warm up: the second refresh builds the graphs, the next ones reach the steady state.
    Measure(refresher, rows, list, 20, [&](int i) {
        rows.Host(1).version++;
        rows.SetDataVersion(rows.GetDataVersion() + 1);
    });

    SFigures idle = Measure(refresher, rows, list, 5000, [](int) {});
    // One probe answered: its hop's record and history move, and with them the data version, so
    // every row is refilled (colours are relative to the column maxima).
    DWORD id = 1000;
    SFigures oneHop = Measure(refresher, rows, list, 500, [&](int i) {
        int hop = 1 + i % (kHops - 1);
        SHopwatchHost& host = rows.Host(hop);
        host.version++;
        host.sent++;
        host.received++;
        host.sumRtt += host.lastRtt;
        rows.History(hop).Add(id++ & 0xFFFF, host.lastRtt);
        rows.SetDataVersion(rows.GetDataVersion() + 1);
    });

    std::printf("refresh of %d rows (%d hops, %d alternatives), graph width %d\n", kRows, kHops,
                kAlternatives, kGraphWidth);
    Print("first refresh (inserts every row)", first);
    Print("nothing changed", idle);
    Print("one hop changed", oneHop);
    std::printf("ratio one hop changed / nothing changed: %.1f\n",
                oneHop.microseconds / (idle.microseconds > 0 ? idle.microseconds : 1e-9));
    return 0;
}
