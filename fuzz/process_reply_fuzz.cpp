// libFuzzer target: arbitrary datagrams into reply matching and route discovery of a run in
// progress, with the data model's invariants checked after every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/SScriptedRun.h"
#include "support/hopwatch_invariants.h"

namespace {
const DWORD kSources[4] = {kTestTarget, kTestX, kTestY, 0};

struct SRun : SScriptedRun {
    int inputs = 0;

    // A run mid-way: a dozen probes out, some of them timed out, hop 2 split in two.
    void Setup() {
        data.BeginRun(L"198.51.100.9", 1000, 1000, 16, 1);
        for (DWORD hop = 0; hop < 6; ++hop)
            data.ProbeHop(hop);
        net.Advance(net.frequency); // these time out at the next sweep
        data.Feed(MakeIcmpError(11, 0, Id(), data.ProbeHop(2)), kTestX, net.Now());
        data.Feed(MakeIcmpError(11, 0, Id(), data.ProbeHop(2)), kTestY, net.Now());
        for (DWORD hop = 0; hop < 6; ++hop)
            data.ProbeHop(hop);
        inputs = 0;
    }
};

SRun* g_run = nullptr;
} // namespace

// Input: one control byte (bits 0-1 pick the source address, bit 2 advances the clock by the next
// byte in milliseconds and sends a probe, which also sweeps time-outs), then the datagram.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (g_run == nullptr) {
        g_run = new SRun;
        g_run->Setup();
    }
    if (++g_run->inputs > 5000)
        g_run->Setup(); // keep the run from drifting too far from the prepared state
    if (size < 1)
        return 0;
    const std::uint8_t control = bytes[0];
    std::size_t offset = 1;
    if ((control & 4) != 0 && size > 1) {
        g_run->net.Advance(static_cast<std::int64_t>(bytes[1]) * g_run->net.frequency / 1000);
        g_run->data.SendProbe();
        offset = 2;
    }
    // A copy of exactly the datagram's size, so that any read past it is caught.
    const std::size_t length = size - offset;
    std::unique_ptr<BYTE[]> datagram(new BYTE[length > 0 ? length : 1]);
    for (std::size_t i = 0; i < length; ++i)
        datagram[i] = bytes[offset + i];
    g_run->data.ProcessReply(datagram.get(), static_cast<int>(length), g_run->net.Now(),
                             kSources[control & 3]);
    // A broken invariant is a finding like a crash: report it and abort so libFuzzer keeps the
    // input.
    std::string why;
    if (!CheckHopwatchInvariants(g_run->data, why)) {
        std::fprintf(stderr, "invariant broken: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
