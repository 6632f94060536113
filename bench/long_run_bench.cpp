// Benchmark: a run as fast as the settings allow on a route whose far hops never answer (the
// lab's "loss 100": hops 0 to 2 answer, 3 to 31 lose every probe), so that nearly every slot
// waits out its time-out: probes sent per second, CPU per sent probe and how evenly each
// answering hop's probes are spaced. Run as root in the lab's client namespace
// (bench/run_long_run_bench.sh); prints figures only.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "bench/recording_network.h"
#include "engine/CHopwatchData.h"
#include "foundation/utf.h"
#include "settings/settings_globals.h"

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const char* target = argc > 1 ? argv[1] : "127.0.0.1";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 15.0;
    g_dwPingIntervalMS = 1;
    g_dwPingTimeoutMS = 5000;
    g_dwMaxTTL = 32;
    g_bReverseDNS = 0;

    CRecordingNetwork network(static_cast<size_t>(seconds * 40000) + 1000);
    CHopwatchData data(&network);
    const double cpu0 = ProcessCpuSeconds();
    if (!data.Start(FromUtf8(target))) {
        std::fprintf(stderr, "long_run_bench: cannot start: %s\n",
                     ToUtf8(data.GetErrorText()).c_str());
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    // Stopped at once: a graceful stop would only wait out the last probes' time-out.
    const double spacing = data.GetProbeSpacing();
    data.Stop();
    const double cpu = ProcessCpuSeconds() - cpu0;
    if (data.GetLastErrorCode() != 0) {
        std::fprintf(stderr, "long_run_bench: the run failed: %s (%lu)\n",
                     ToUtf8(data.GetErrorText()).c_str(),
                     static_cast<unsigned long>(data.GetLastErrorCode()));
        return 1;
    }

    const size_t n = network.Count();
    const double frequency = static_cast<double>(network.Frequency());
    const double sending = n > 1 ? (network[n - 1].time - network[0].time) / frequency : 0.0;
    DWORD local = 0;
    network.LocalAddress(local);
    std::printf("long_run_bench: target %s, /int %lu /to %lu /ttl %lu, %.0f s, %lu hops, "
                "spacing %.1f us (the slot table's turnover; 1 ms over 32 hops would be %.1f)\n",
                target, static_cast<unsigned long>(g_dwPingIntervalMS),
                static_cast<unsigned long>(g_dwPingTimeoutMS),
                static_cast<unsigned long>(g_dwMaxTTL), seconds,
                static_cast<unsigned long>(data.GetHopCount()), spacing * 1e6, 1000.0 / 32);
    std::printf("probes sent: %zu in %.2f s of sending: %.0f probes/s\n", n, sending,
                sending > 0 ? (n - 1) / sending : 0.0);
    std::printf("CPU: %.2f us per sent probe (%.3f s for the run)\n", n ? cpu / n * 1e6 : 0.0, cpu);

    // Each answering hop's probes, one salvo apart: their intervals from the second salvo on.
    const double salvo = spacing * g_dwMaxTTL;
    for (int row = 0; row < static_cast<int>(data.GetVisibleRows()); ++row) {
        SHopwatchHost host;
        if (!data.GetRow(row, host, 0xFFFFFFFF, TRUE) || host.received == 0)
            continue;
        std::vector<double> deviations;
        std::int64_t previous = -1;
        for (size_t i = 0; i < n; ++i) {
            const DWORD hop =
                network[i].destination == local ? 0 : static_cast<DWORD>(network[i].ttl);
            if (hop != host.ttl)
                continue;
            if (previous >= 0 && i > g_dwMaxTTL)
                deviations.push_back(std::fabs((network[i].time - previous) / frequency - salvo) *
                                     1e6);
            previous = network[i].time;
        }
        const double p99 = Percentile(deviations, 0.99);
        const double worst = Percentile(deviations, 1.0);
        std::printf("hop %lu: %lu sent, %lu received; intervals %.1f us apart: deviation median "
                    "%.1f us, 99th percentile %.1f us (%.1f%%), largest %.1f us (%.1f%%)\n",
                    static_cast<unsigned long>(host.ttl), static_cast<unsigned long>(host.sent),
                    static_cast<unsigned long>(host.received), salvo * 1e6,
                    Percentile(deviations, 0.5), p99, p99 / (salvo * 1e6) * 100, worst,
                    worst / (salvo * 1e6) * 100);
    }
    return 0;
}
