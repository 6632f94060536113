// CHopwatchSystemNetwork: the engine's real wire and clock: the platform's raw ICMP socket, or its
// way to probe without rights.
#pragma once

#include <cstdint>

#include "engine/CHopwatchNetwork.h"
#include "platform/icmp_unprivileged.h"

// The real network: the platform's raw socket or unprivileged ICMP, counter and resolver.
class CHopwatchSystemNetwork : public CHopwatchNetwork {
public:
    CHopwatchSystemNetwork() = default;
    ~CHopwatchSystemNetwork() override;
    CHopwatchSystemNetwork(const CHopwatchSystemNetwork&) = delete;
    CHopwatchSystemNetwork& operator=(const CHopwatchSystemNetwork&) = delete;

    DWORD Open(EHopwatchProbeMethod method, DWORD timeoutMs, DWORD maxOutstanding) override;
    DWORD Close() override;
    DWORD SetTtl(int ttl) override;
    DWORD SendTo(const BYTE* message, int length, DWORD address) override;
    int WaitReadable(long seconds, long microseconds, DWORD& error) override;
    DWORD ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source,
                      std::int64_t& receiveTime) override;
    DWORD ReceiveQueued(BYTE* buffer, int capacity, int& received, DWORD& source,
                        std::int64_t& receiveTime) override;
    std::int64_t Now() override;
    std::int64_t Frequency() override;
    DWORD ProcessId() override;
    WORD ProbeIdentifier() override;
    HopwatchHostResolver HostResolver() override;
    BOOL LocalAddress(DWORD& address) override;

private:
    bool Unprivileged() const { return m_method != kProbeRaw; }

    EHopwatchProbeMethod m_method = kProbeRaw;
    std::uintptr_t m_socket = ~std::uintptr_t(0);
    CNUnprivilegedIcmp m_unprivileged;
};
