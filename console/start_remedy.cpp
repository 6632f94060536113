// What the console says when no way to probe could be opened: the remedy.
#include "console/start_remedy.h"

CString StartFailureRemedy(EHopwatchProbeMethod tried, bool accessDenied,
                           EHopwatchProbeMethod unprivileged) {
    if (tried == kProbeDatagram) {
        const CString root = L"run as root, or give the program the CAP_NET_RAW capability "
                             L"(setcap cap_net_raw+ep hopwatch-console) so that it can open a raw "
                             L"ICMP socket.";
        if (!accessDenied)
            return L"ICMP datagram sockets are not available on this system: " + root;
        return L"ICMP datagram sockets are not allowed for this user's group: the kernel setting "
               L"net.ipv4.ping_group_range does not include it.\n"
               L"Either allow the group (as root: sysctl -w net.ipv4.ping_group_range=\"0 "
               L"2147483647\", kept across restarts in /etc/sysctl.d/), or " +
               root;
    }
    if (tried != kProbeRaw || !accessDenied)
        return CString();
    if (unprivileged == kProbeSystem)
        return L"A raw ICMP socket needs administrator rights: run as administrator, or leave out "
               L"\"/method raw\" to probe through the system's ICMP service, which needs none.";
    return L"A raw ICMP socket needs root or the CAP_NET_RAW capability: run as root, or leave out "
           L"\"/method raw\" to probe through ICMP datagram sockets, which need neither where "
           L"net.ipv4.ping_group_range allows this user's group.";
}
