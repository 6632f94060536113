// CHopwatchSystemNetwork: the engine's real wire and clock, over the platform's raw ICMP socket.
#pragma once

#include <cstdint>

#include "engine/CHopwatchNetwork.h"

// The real network: the platform's raw socket, counter and resolver.
class CHopwatchSystemNetwork : public CHopwatchNetwork {
public:
    CHopwatchSystemNetwork() = default;
    ~CHopwatchSystemNetwork() override;
    CHopwatchSystemNetwork(const CHopwatchSystemNetwork&) = delete;
    CHopwatchSystemNetwork& operator=(const CHopwatchSystemNetwork&) = delete;

    DWORD Open() override;
    DWORD Close() override;
    DWORD SetTtl(int ttl) override;
    DWORD SendTo(const BYTE* message, int length, DWORD address) override;
    int WaitReadable(long seconds, long microseconds, DWORD& error) override;
    DWORD ReceiveFrom(BYTE* buffer, int capacity, int& received, DWORD& source) override;
    DWORD ReceiveQueued(BYTE* buffer, int capacity, int& received, DWORD& source) override;
    std::int64_t Now() override;
    std::int64_t Frequency() override;
    DWORD ProcessId() override;
    BOOL ResolveHost(const CString& text, DWORD& address, DWORD& error) override;
    BOOL LocalAddress(DWORD& address) override;

private:
    std::uintptr_t m_socket = ~std::uintptr_t(0);
};
