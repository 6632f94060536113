// Benchmark: how closely real probes keep to the ideal send grid, CPU per 1,000 probes, allocations
// per probe. Run as root against a real route (the lab's 30-hop chain); prints figures only.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/recording_network.h"
#include "engine/CHopwatchData.h"
#include "foundation/utf.h"
#include "settings/settings_globals.h"

namespace {

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Distance of each offset (seconds into the spacing) from the grid point nearest to it, in us,
// for the grid phase (tried at the offsets themselves) that gives the smallest median distance.
std::vector<double> GridDeviations(const std::vector<double>& offsets, double spacing) {
    auto distances = [&](double phase) {
        std::vector<double> out;
        for (double offset : offsets) {
            const double d = std::fabs(std::fmod(offset - phase + spacing, spacing));
            out.push_back(std::min(d, spacing - d) * 1e6);
        }
        return out;
    };
    double bestPhase = 0.0;
    double bestMedian = INFINITY;
    const size_t step = offsets.size() / 500 + 1;
    for (size_t i = 0; i < offsets.size(); i += step) {
        const double median = Percentile(distances(offsets[i]), 0.5);
        if (median < bestMedian) {
            bestMedian = median;
            bestPhase = offsets[i];
        }
    }
    return distances(bestPhase);
}

} // namespace

int main(int argc, char** argv) {
    const char* target = argc > 1 ? argv[1] : "127.0.0.1";
    double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    g_dwPingIntervalMS = 100;
    g_dwPingTimeoutMS = 1000;
    g_bReverseDNS = 0;

    CRecordingNetwork network(200000, &g_benchAllocations);
    CHopwatchData data(&network);
    double cpu0 = ProcessCpuSeconds();
    if (!data.Start(FromUtf8(target))) {
        std::fprintf(stderr, "schedule_bench: cannot start: %s\n",
                     ToUtf8(data.GetErrorText()).c_str());
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    data.RequestStop();
    for (int i = 0; i < 400 && data.IsRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    data.Stop();
    double cpu = ProcessCpuSeconds() - cpu0;

    size_t n = network.Count();
    double frequency = static_cast<double>(network.Frequency());
    DWORD hops = data.GetHopCount();
    double spacing = g_dwPingIntervalMS / 1000.0 / (hops ? hops : 1);
    // The first salvo probes while the route is still being found; measure the steady phase
    // from the second salvo on. The grid is the engine's, anchored where the run started, not at
    // any one send (a late first send would shift every deviation): its phase is the one that
    // fits the sends best.
    size_t first = std::min(n, static_cast<size_t>(2 * hops + 2));
    std::vector<double> offsets;
    for (size_t i = first; i < n; ++i)
        offsets.push_back(std::fmod((network[i].time - network[first].time) / frequency, spacing));
    std::vector<double> deviations = GridDeviations(offsets, spacing);
    long steadyAllocs = n > first + 1 ? network[n - 1].allocations - network[first].allocations : 0;

    std::printf("schedule_bench: target %s, interval %lu ms, %lu hops, spacing %.1f us\n", target,
                static_cast<unsigned long>(g_dwPingIntervalMS), static_cast<unsigned long>(hops),
                spacing * 1e6);
    std::printf("probes sent: %zu (%zu in the steady phase)\n", n, n - first);
    std::printf("send deviation from the grid: median %.1f us, 99th percentile %.1f us "
                "(%.2f%% / %.2f%% of the spacing)\n",
                Percentile(deviations, 0.5), Percentile(deviations, 0.99),
                Percentile(deviations, 0.5) / (spacing * 1e6) * 100,
                Percentile(deviations, 0.99) / (spacing * 1e6) * 100);
    std::printf("CPU time: %.1f ms per 1,000 probes (%.3f s for the run)\n",
                n ? cpu / n * 1000.0 * 1000.0 : 0.0, cpu);
    std::printf("allocations during the steady phase: %ld (%.4f per probe)\n", steadyAllocs,
                n > first ? static_cast<double>(steadyAllocs) / (n - first) : 0.0);
    return 0;
}
