// The ways the engine can put probes on the wire.
#pragma once

#include "foundation/base_types.h"

enum EHopwatchProbeMethod : DWORD {
    kProbeRaw = 0,      // a raw ICMP socket (needs administrator or root rights)
    kProbeDatagram = 1, // an ICMP datagram socket (Linux, no rights where the system allows it)
    kProbeSystem = 2,   // the system's ICMP service (Windows, no rights needed)
};

// The method's short name for scripts and the console: "raw", "datagram" or "system".
inline const wchar_t* ProbeMethodName(EHopwatchProbeMethod method) {
    switch (method) {
    case kProbeDatagram:
        return L"datagram";
    case kProbeSystem:
        return L"system";
    default:
        return L"raw";
    }
}

// How the probes go out, for people: "a raw ICMP socket", "ICMP datagram sockets, which need no
// root" or "the system's ICMP service, which needs no administrator rights".
inline const wchar_t* ProbeMethodDescription(EHopwatchProbeMethod method) {
    switch (method) {
    case kProbeDatagram:
        return L"ICMP datagram sockets, which need no root";
    case kProbeSystem:
        return L"the system's ICMP service, which needs no administrator rights";
    default:
        return L"a raw ICMP socket";
    }
}
