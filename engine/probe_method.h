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
