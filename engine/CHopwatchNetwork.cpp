// CHopwatchNetwork: what every wire shares: the system's way to probe without rights, and when
// a raw socket is refused.
#include "engine/CHopwatchNetwork.h"

#include "platform/icmp_socket.h"
#include "platform/icmp_unprivileged.h"

EHopwatchProbeMethod SystemUnprivilegedProbeMethod() {
    return PlatformUnprivilegedIcmpKind() == kUnprivilegedIcmpService ? kProbeSystem
                                                                      : kProbeDatagram;
}

BOOL CHopwatchNetwork::IsAccessDenied(DWORD error) {
    return PlatformIcmpAccessDenied(error) ? TRUE : FALSE;
}
