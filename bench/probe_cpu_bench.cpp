// Benchmark: CPU per probe of a fast run against ping's CPU per packet on the same route, the share
// of probes matched and the peak resident memory; then the same run through ICMP datagram
// sockets (the way that needs no root) beside the raw socket's: probes/s, share matched, CPU and
// allocations per probe, median round-trip times of hop 1 and of the target. Run as root inside
// the lab's client namespace (bench/run_probe_cpu_bench.sh); prints figures only.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/allocation_counter.h"
#include "engine/CHopwatchData.h"
#include "engine/CHopwatchSystemNetwork.h"
#include "platform/icmp_socket.h"
#include "platform/process.h"
#include "foundation/utf.h"
#include "settings/settings_globals.h"

namespace {

double CpuSeconds(const rusage& usage) {
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

double SelfCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

struct SRunFigures {
    double seconds = 0;
    double cpu = 0;
    unsigned long sent = 0;
    unsigned long received = 0;
    unsigned long lost = 0;
    DWORD hops = 0;
    long sleeps = 0; // voluntary context switches of the process during the run
    EHopwatchProbeMethod method = kProbeRaw;
    // Round-trip times in seconds of the replies of hop 1 and of the target (the last hop).
    std::vector<double> hop1;
    std::vector<double> target;
    // Allocations per probe once the run is under way (its first second left out).
    double allocationsPerProbe = 0;
};

// The outcomes handed on so far: probes sent are counted, reply times collected by hop (the
// vectors are reserved beforehand, so that collecting allocates nothing).
void CollectOutcomes(CHopwatchData& data, SRunFigures& figures, long& sent) {
    static SHopwatchOutcome outcomes[65536];
    DWORD dropped = 0;
    for (DWORD count; (count = data.ReadOutcomes(outcomes, 65536, dropped)) > 0;) {
        for (DWORD i = 0; i < count; ++i) {
            const SHopwatchOutcome& o = outcomes[i];
            if (o.kind == kOutcomeSent)
                ++sent;
            if (o.kind != kOutcomeReply)
                continue;
            // The target answers at the last of the hops: the route is 30 hops long.
            std::vector<double>& times = o.hop == 1 ? figures.hop1 : figures.target;
            if ((o.hop == 1 || o.hop + 1u == g_dwMaxTTL) && times.size() < times.capacity())
                times.push_back(o.rtt);
        }
    }
}

// ICMP datagram sockets timed when the engine reads an answer rather than when the kernel received
// it: what the kernel's receive stamps are worth.
class CReadTimeNetwork : public CHopwatchSystemNetwork {
public:
    DWORD ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source,
                      std::int64_t& receiveTime) override {
        std::int64_t kernelTime = receiveTime;
        return CHopwatchSystemNetwork::ReceiveFrom(buffer, capacity, received, source, kernelTime);
    }
    DWORD ReceiveQueued(BYTE* buffer, int capacity, int& received, DWORD& source,
                        std::int64_t& receiveTime) override {
        std::int64_t kernelTime = receiveTime;
        return CHopwatchSystemNetwork::ReceiveQueued(buffer, capacity, received, source,
                                                     kernelTime);
    }
};

double Median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// One run of the engine at the given settings for the given time, stopped gracefully.
bool RunHopwatch(const char* target, double seconds, SRunFigures& figures,
                 CHopwatchNetwork* network = nullptr) {
    CHopwatchData data(network);
    // Read every 50 ms: room for far more outcomes than come in that time.
    data.SetOutcomeCapacity(1 << 16);
    figures.hop1.reserve(1 << 17);
    figures.target.reserve(1 << 17);
    rusage usage0{};
    getrusage(RUSAGE_SELF, &usage0);
    const double cpu0 = SelfCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (!data.Start(FromUtf8(target))) {
        std::fprintf(stderr, "probe_cpu_bench: cannot start: %s\n",
                     ToUtf8(data.GetErrorText()).c_str());
        return false;
    }
    figures.method = data.GetProbeMethod();
    long sent = 0;
    long allocations0 = 0;
    long sent0 = 0;
    for (auto now = start; now - start < std::chrono::duration<double>(seconds);
         now = std::chrono::steady_clock::now()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        CollectOutcomes(data, figures, sent);
        if (allocations0 == 0 && now - start >= std::chrono::seconds(1)) {
            allocations0 = g_benchAllocations.load();
            sent0 = sent;
        }
    }
    CollectOutcomes(data, figures, sent);
    if (sent > sent0)
        figures.allocationsPerProbe =
            static_cast<double>(g_benchAllocations.load() - allocations0) / (sent - sent0);
    data.RequestStop();
    for (int i = 0; i < 800 && data.IsPingWorkerRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    data.Stop();
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.cpu = SelfCpuSeconds() - cpu0;
    rusage usage1{};
    getrusage(RUSAGE_SELF, &usage1);
    // The main thread adds only the few sleeps of its own waiting above.
    figures.sleeps = usage1.ru_nvcsw - usage0.ru_nvcsw;
    figures.hops = data.GetHopCount();
    for (int row = 0; row < static_cast<int>(data.GetVisibleRows()); ++row) {
        SHopwatchHost host;
        if (data.GetRow(row, host, 0xFFFFFFFF, TRUE) && host.image != kImageAlternative) {
            figures.sent += host.sent;
            figures.received += host.received;
            figures.lost += host.lost;
        }
    }
    return data.GetLastErrorCode() == 0;
}

// ping with the given TTL for count packets as fast as it goes (it keeps its interval in whole
// milliseconds, so it cannot be paced at 100 us; and with -w it would stop at the first
// time-exceeded); its CPU from wait4, its packet count and time from its summary line.
bool RunPing(const char* target, int ttl, unsigned long count, double& cpu, unsigned long& packets,
             double& seconds) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        const std::string ttlText = std::to_string(ttl);
        const std::string countText = std::to_string(count);
        execlp("ping", "ping", "-q", "-n", "-t", ttlText.c_str(), "-i", "0.0001", "-c",
               countText.c_str(), target, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[512];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return false;
    cpu = CpuSeconds(usage);
    const size_t at = output.find(" packets transmitted");
    if (at == std::string::npos)
        return false;
    size_t begin = output.rfind('\n', at);
    packets =
        std::strtoul(output.c_str() + (begin == std::string::npos ? 0 : begin + 1), nullptr, 10);
    const size_t time = output.find(", time ", at);
    seconds = time != std::string::npos ? std::atof(output.c_str() + time + 7) / 1000.0 : 0.0;
    return packets > 0;
}

double ResidentMegabytes() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return 0.0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::strtol(line + 6, nullptr, 10);
    }
    std::fclose(status);
    return kb / 1024.0;
}

// CPU time of one timed wait for readability that runs out (the wait before every probe), on a
// pipe that stays empty: the cost of sleeping and waking up once on this machine.
double TimedWaitMicroseconds(long microseconds) {
    int fds[2];
    if (pipe(fds) != 0)
        return 0.0;
    PlatformBeginPreciseWaits();
    timespec t0{};
    timespec t1{};
    constexpr int kWaits = 2000;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t0);
    for (int i = 0; i < kWaits; ++i) {
        DWORD error = 0;
        PlatformIcmpWaitReadable(static_cast<PlatformSocket>(fds[0]), 0, microseconds, error);
    }
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t1);
    PlatformEndPreciseWaits();
    close(fds[0]);
    close(fds[1]);
    return ((t1.tv_sec - t0.tv_sec) * 1e9 + (t1.tv_nsec - t0.tv_nsec)) / 1e3 / kWaits;
}

} // namespace

int main(int argc, char** argv) {
    const char* target = argc > 1 ? argv[1] : "127.0.0.1";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    // The settings of the measurement: about 10,000 probes/s over the 30-hop route and this
    // computer (another interval in ms may follow the seconds).
    g_dwPingIntervalMS = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 3;
    g_dwPingTimeoutMS = 5000;
    g_dwMaxTTL = 31; // hops 0 to 30: this computer, 29 routers and the target
    g_bReverseDNS = 0;

    const double startMb = ResidentMegabytes();
    SRunFigures run;
    g_dwProbeMethod = kProbeSettingRaw;
    if (!RunHopwatch(target, seconds, run))
        return 1;
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    const double peakMb = self.ru_maxrss / 1024.0;

    const double rate = run.sent / run.seconds;
    double pingCpu = 0;
    double pingSeconds = 0;
    unsigned long pingPackets = 0;
    const bool pinged = RunPing(target, 15, run.sent, pingCpu, pingPackets, pingSeconds);

    const double perProbe = run.sent ? run.cpu / run.sent * 1e6 : 0.0;
    std::printf("probe_cpu_bench: target %s, /int %lu /ttl %lu /to %lu, %.0f s, %lu hops\n", target,
                static_cast<unsigned long>(g_dwPingIntervalMS),
                static_cast<unsigned long>(g_dwMaxTTL),
                static_cast<unsigned long>(g_dwPingTimeoutMS), seconds,
                static_cast<unsigned long>(run.hops));
    std::printf("probes: %lu sent in %.1f s, %.0f probes/s sustained\n", run.sent, run.seconds,
                rate);
    std::printf("matched: %lu of %lu (%.3f %%), %lu lost\n", run.received, run.sent,
                run.sent ? 100.0 * run.received / run.sent : 0.0, run.lost);
    std::printf("hopwatch CPU: %.2f us per probe (%.3f s)\n", perProbe, run.cpu);
    if (pinged) {
        const double perPacket = pingCpu / pingPackets * 1e6;
        std::printf("ping CPU: %.2f us per packet (TTL 15, %lu packets at %.0f/s, %.3f s)\n",
                    perPacket, pingPackets, pingSeconds > 0 ? pingPackets / pingSeconds : 0.0,
                    pingCpu);
        std::printf("ratio hopwatch / ping: %.2f\n", perPacket > 0 ? perProbe / perPacket : 0.0);
    } else {
        std::printf("ping CPU: not measured (ping did not run)\n");
    }
    // Paced probes sleep between sends (several due-soon probes share one wake); ping at full
    // speed never sleeps. What the sleeps cost: their count times the CPU of one timed wait.
    const double wait = TimedWaitMicroseconds(100);
    const double sleepsPerProbe = run.sent ? static_cast<double>(run.sleeps) / run.sent : 0.0;
    std::printf("one timed wait of 100 us: %.2f us CPU; sleeps per probe: %.2f (%ld voluntary "
                "context switches)\n",
                wait, sleepsPerProbe, run.sleeps);
    if (pinged && pingCpu > 0)
        std::printf("ratio hopwatch / ping without the sleeps: %.2f\n",
                    (perProbe - sleepsPerProbe * wait) / (pingCpu / pingPackets * 1e6));
    // What the resident memory is: the program and its libraries before the run, the slot table
    // (written at every start), and the history rings as far as outcomes were written into them;
    // the rings of hops beyond the route and of alternatives that never appeared take none.
    const double slots = sizeof(SHopwatchPing) * 65536.0 / (1024 * 1024);
    const double ring = kHistRingSize * sizeof(SHopwatchHistEntry) / 1024.0;
    std::printf(
        "peak resident memory: %.1f MB (before the run %.1f MB: program and libraries; slot "
        "table %.1f MB; history rings of the %lu hops in use, up to %.0f kB each as they "
        "fill; rings reserved for 128 alternatives and the hops beyond: none; the benchmark's "
        "own outcome ring and reply times: 6 MB)\n",
        peakMb, startMb, slots, static_cast<unsigned long>(run.hops + 1), ring);

    // The same run through ICMP datagram sockets, the way without root, beside the raw socket's:
    // timed by the kernel's receive stamps as the program times both ways, and timed at the read.
    const double shorter = seconds / 2 > 3 ? seconds / 2 : 3;
    SRunFigures datagram;
    SRunFigures datagramRead;
    CReadTimeNetwork readTime;
    g_dwProbeMethod = kProbeSettingSystem;
    if (!RunHopwatch(target, shorter, datagram) || datagram.method != kProbeDatagram ||
        !RunHopwatch(target, shorter, datagramRead, &readTime)) {
        std::printf("datagram path: not measured (ICMP datagram sockets refused)\n");
        return 1;
    }
    std::printf("raw socket (%.0f s) against ICMP datagram sockets (%.0f s each), /int %lu over "
                "%lu hops:\n",
                seconds, shorter, static_cast<unsigned long>(g_dwPingIntervalMS),
                static_cast<unsigned long>(datagram.hops));
    const struct {
        const char* name;
        const SRunFigures* figures;
    } rows[] = {{"raw, kernel receive times", &run},
                {"datagram, kernel receive times", &datagram},
                {"datagram, timed at the read", &datagramRead}};
    for (const auto& row : rows) {
        const SRunFigures& f = *row.figures;
        std::printf("  %-31s %6.0f probes/s, matched %lu of %lu (%.3f %%), %.2f us CPU and %.3f "
                    "allocations per probe; median RTT hop 1 %.1f us (%zu), target %.1f us "
                    "(%zu)\n",
                    row.name, f.sent / f.seconds, f.received, f.sent,
                    f.sent ? 100.0 * f.received / f.sent : 0.0, f.sent ? f.cpu / f.sent * 1e6 : 0.0,
                    f.allocationsPerProbe, Median(f.hop1) * 1e6, f.hop1.size(),
                    Median(f.target) * 1e6, f.target.size());
    }
    std::printf("  median RTT datagram - raw, both by the kernel's receive times: hop 1 %+.1f us, "
                "target %+.1f us (target: within 20 us); the kernel's receive times are %.1f us "
                "and %.1f us earlier than the read\n",
                (Median(datagram.hop1) - Median(run.hop1)) * 1e6,
                (Median(datagram.target) - Median(run.target)) * 1e6,
                (Median(datagramRead.hop1) - Median(datagram.hop1)) * 1e6,
                (Median(datagramRead.target) - Median(datagram.target)) * 1e6);
    return 0;
}
