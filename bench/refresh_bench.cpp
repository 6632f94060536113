// Benchmark: cost of one results list refresh tick with 256 hops and 128 alternatives, when
// nothing changed and when one hop changed; prints microseconds, share of the 125 ms tick and
// allocations per tick.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/allocation_counter.h"
#include "results/CHopwatchMemoryList.h"
#include "results/CHopwatchRecordRows.h"
#include "results/CHopwatchRowRefresher.h"

namespace {

constexpr int kHops = 256;
constexpr int kAlternatives = 128;
constexpr int kRows = kHops + kAlternatives;
constexpr int kGraphWidth = 200; // a wide "Note / History" column, in pixels
constexpr double kTickMicroseconds = 125000.0;

DWORD TestNetAddress(int index) {
    const BYTE bytes[4] = {198, 51, static_cast<BYTE>(100 + index / 256),
                           static_cast<BYTE>(index % 256)};
    DWORD value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// A long-running route: every hop has answered hundreds of probes, every row has a full graph.
void FillRoute(CHopwatchRecordRows& rows) {
    if (!rows.SetRowCount(kRows)) {
        std::fprintf(stderr, "out of memory\n");
        std::exit(1);
    }
    SHopwatchColumnMaxima maxima;
    for (int r = 0; r < kRows; ++r) {
        SHopwatchHost& host = rows.Host(r);
        bool alternative = r >= kHops;
        host.version = 500;
        host.ttl = alternative ? 0 : static_cast<DWORD>(r);
        host.image = alternative ? kImageAlternative : kImageAnswering;
        host.address = TestNetAddress(r);
        host.name = L"router-" + std::to_wstring(r) + L".example.net";
        host.sent = alternative ? 0 : 1000;
        host.received = alternative ? 300 : 990;
        host.lost = alternative ? 0 : 10;
        host.lastRtt = 0.001 * (1 + r % 50);
        host.minRtt = host.lastRtt * 0.5;
        host.maxRtt = host.lastRtt * 3;
        host.sumRtt = host.lastRtt * host.received;
        for (DWORD id = 0; id < 400; ++id)
            rows.History(r).Add(id, host.lastRtt);
        if (!alternative) {
            maxima.sent = 1000;
            maxima.received = 990;
            maxima.lost = 10;
            maxima.lastRtt = maxima.minRtt = maxima.avgRtt = maxima.maxRtt = 0.150;
        }
    }
    rows.SetColumnMaxima(maxima);
}

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
    FillRoute(rows);
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
