// Datagrams and addresses for engine tests, built as the raw socket delivers them.
#pragma once

#include <vector>

#include "foundation/base_types.h"

// An IPv4 address in network byte order from its four dotted parts.
DWORD TestIp(BYTE a, BYTE b, BYTE c, BYTE d);

// Datagrams as the raw socket delivers them, IP header included. ipOptions adds that many 4-byte
// words of options to every IP header (outer and quoted). The echo header carries id and seq in
// the probe's byte order.
std::vector<BYTE> MakeEchoReply(DWORD id, DWORD seq, int ipOptions = 0);
std::vector<BYTE> MakeIcmpError(BYTE type, BYTE code, DWORD id, DWORD seq, int ipOptions = 0);
