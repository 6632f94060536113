// What the console says when no way to probe could be opened: the remedy.
#pragma once

#include "engine/probe_method.h"
#include "foundation/base_types.h"

// What to do after Start failed to open the way it tried last, with the system's unprivileged way
// (kProbeDatagram on Linux, kProbeSystem on Windows): for refused datagram sockets the group rule
// net.ipv4.ping_group_range and root or CAP_NET_RAW; for a refused raw socket the rights it needs
// and the way that needs none. Empty when there is nothing to add to the system's text.
CString StartFailureRemedy(EHopwatchProbeMethod tried, bool accessDenied,
                           EHopwatchProbeMethod unprivileged);
