// Benchmark: what recording costs: bytes per probe on disk, the writer thread's CPU and
// allocations per probe, and the resident memory of a run (the timeline's buckets included) after
// a simulated 24 hours at one probe per second per hop over 30 hops against a 1-minute run, on the
// scripted clock. Prints figures only.
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench/allocation_counter.h"
#include "recording/CHopwatchRecorder.h"
#include "support/CRouteDriver.h"
#include "timeline/CHopwatchTimeline.h"

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// Runs on the writer's thread with every batch: its CPU and allocations so far.
struct SWriterMeter : CHopwatchOutcomeListener {
    void OnRunStart(std::int64_t, std::int64_t, const CNTimeStamp&) override {
        allocationsAtStart = t_benchThreadAllocations;
    }
    void OnOutcomes(const SHopwatchOutcome*, DWORD count, DWORD lost) override {
        cpu = ThreadCpuSeconds();
        allocations = t_benchThreadAllocations - allocationsAtStart;
        outcomes += count;
        dropped += lost;
    }
    std::atomic<double> cpu{0};
    std::atomic<long> allocationsAtStart{0};
    std::atomic<long> allocations{0};
    std::atomic<std::uint64_t> outcomes{0};
    std::atomic<std::uint64_t> dropped{0};
};

struct SFigures {
    double seconds = 0;
    std::uint64_t probes = 0;
    std::uint64_t bytes = 0;
    std::uint64_t frames = 0;
    std::uint64_t dropped = 0;
    double writerCpu = 0;
    long writerAllocations = 0;
    long residentKb = 0;
};

constexpr int kHops = 30; // hop 0 (this computer) to the target at hop 29
constexpr std::uint64_t kSyncEvery = 1024;

// A steady route: routers 1-28 answer in 0.5 to 20 ms with a little jitter, the target at hop 29;
// one probe in a hundred is lost.
SRouteAnswer SteadyRoute(std::mt19937& rng, DWORD hop) {
    SRouteAnswer answer;
    answer.answered = rng() % 100 != 0;
    answer.delaySeconds = 0.0005 + hop * 0.0007 + (rng() % 500) * 1e-6;
    if (hop == 0) {
        answer.type = 0;
        answer.source = kTestLocal;
    } else if (hop >= kHops - 1) {
        answer.type = 0;
        answer.source = kTestTarget;
    } else {
        answer.source = TestIp(203, 0, 113, static_cast<BYTE>(hop));
    }
    return answer;
}

// One run of simulatedSeconds in this process, recorded into path.
SFigures Run(double simulatedSeconds, const std::string& path) {
    SScriptedRun run;
    run.net.keepSent = false;
    run.net.frequency = 1000000000; // nanosecond ticks, as on Linux
    // The window's timeline hears every batch too, so that its buckets count in the memory.
    CHopwatchTimeline timeline;
    CHopwatchRecorder recorder(run.data);
    SWriterMeter meter;
    recorder.AddListener(&meter);
    recorder.AddListener(&timeline);
    SFigures figures;
    if (!run.data.BeginRun(L"198.51.100.9", 1000, 5000, 32, 0) ||
        !recorder.Begin(CHopwatchRecorder::kToFile, std::filesystem::path(path).wstring(), 0))
        return figures;
    std::mt19937 rng(42);
    CRouteDriver driver(run, [&](DWORD hop, std::uint64_t) { return SteadyRoute(rng, hop); });
    const std::uint64_t probes = static_cast<std::uint64_t>(simulatedSeconds * kHops);
    const auto start = std::chrono::steady_clock::now();
    for (std::uint64_t sent = 0; sent < probes; sent += kSyncEvery) {
        driver.Send(probes - sent < kSyncEvery ? probes - sent : kSyncEvery);
        // The simulated clock runs far ahead of the writer's; it catches up here, so that its
        // ring never overflows (a frame is written at each catch-up).
        recorder.Sync();
        ++figures.frames;
    }
    driver.Finish();
    recorder.Sync();
    figures.residentKb = ResidentKb();
    recorder.Finish();
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.probes = driver.GetSent();
    figures.bytes = recorder.GetBytesWritten();
    figures.dropped = recorder.GetDropped();
    figures.writerCpu = meter.cpu;
    figures.writerAllocations = meter.allocations;
    recorder.RemoveListener(&meter);
    recorder.RemoveListener(&timeline);
    return figures;
}

// Each run in a process of its own, so that one's memory does not count for the other.
bool RunInChild(double simulatedSeconds, const std::string& path, SFigures& figures) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        const SFigures result = Run(simulatedSeconds, path);
        const ssize_t written = write(pipeFds[1], &result, sizeof(result));
        _exit(written == sizeof(result) ? 0 : 1);
    }
    close(pipeFds[1]);
    const ssize_t got = read(pipeFds[0], &figures, sizeof(figures));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got == sizeof(figures) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main() {
    // On a memory file system when there is one: the figures are bytes and CPU, not the disk.
    const std::filesystem::path dir = std::filesystem::exists("/dev/shm")
                                          ? std::filesystem::path("/dev/shm")
                                          : std::filesystem::temp_directory_path();
    const std::string base =
        (dir / ("hopwatch-recording-bench-" + std::to_string(getpid()))).string();
    SFigures minute;
    SFigures day;
    const bool ok = RunInChild(60, base + "-minute.hwrec", minute) &&
                    RunInChild(86400, base + "-day.hwrec", day);
    std::filesystem::remove(base + "-minute.hwrec");
    std::filesystem::remove(base + "-day.hwrec");
    if (!ok || minute.probes == 0 || day.probes == 0) {
        std::fprintf(stderr, "recording_bench: a run failed\n");
        return 1;
    }
    // The live writer writes a frame every half second; this one wrote one per catch-up. The
    // difference in frame headers is added for the figure a real run gets.
    const double realFrames = 86400 * 2.0;
    const double realBytes = day.bytes + (realFrames - day.frames) * kRecordingFrameHeaderBytes;
    std::printf("recording: %d hops, one probe per second per hop, 1%% loss, scripted clock\n",
                kHops);
    std::printf("  1 minute: %llu probes, %llu bytes, resident %ld KB\n",
                static_cast<unsigned long long>(minute.probes),
                static_cast<unsigned long long>(minute.bytes), minute.residentKb);
    std::printf("  24 hours: %llu probes in %.1f s, %llu bytes, resident %ld KB, %llu dropped\n",
                static_cast<unsigned long long>(day.probes), day.seconds,
                static_cast<unsigned long long>(day.bytes), day.residentKb,
                static_cast<unsigned long long>(day.dropped));
    std::printf("  bytes per probe on disk: %.2f (with a frame every 0.5 s: %.2f; target < 12)\n",
                static_cast<double>(day.bytes) / day.probes, realBytes / day.probes);
    std::printf("  writer CPU per probe: %.3f us; writer allocations per probe: %.5f\n",
                day.writerCpu * 1e6 / day.probes,
                static_cast<double>(day.writerAllocations) / day.probes);
    std::printf("  resident memory, 24 hours against 1 minute: %.2f times (target < 2)\n",
                static_cast<double>(day.residentKb) / minute.residentKb);
    return 0;
}
