// Datagrams and addresses for engine tests, built as the raw socket delivers them.
#include "support/test_datagrams.h"

#include <cstring>

DWORD TestIp(BYTE a, BYTE b, BYTE c, BYTE d) {
    const BYTE bytes[4] = {a, b, c, d};
    DWORD address;
    std::memcpy(&address, bytes, 4);
    return address;
}

static void AppendIpHeader(std::vector<BYTE>& out, int ipOptions) {
    out.push_back(static_cast<BYTE>(0x40 | (5 + ipOptions)));
    out.resize(out.size() + 19 + static_cast<size_t>(ipOptions) * 4, 0);
}

static void AppendEchoHeader(std::vector<BYTE>& out, BYTE type, DWORD id, DWORD seq) {
    const BYTE header[8] = {type,
                            0,
                            0,
                            0,
                            static_cast<BYTE>(id & 0xFF),
                            static_cast<BYTE>((id >> 8) & 0xFF),
                            static_cast<BYTE>(seq & 0xFF),
                            static_cast<BYTE>((seq >> 8) & 0xFF)};
    out.insert(out.end(), header, header + 8);
}

std::vector<BYTE> MakeEchoReply(DWORD id, DWORD seq, int ipOptions) {
    std::vector<BYTE> out;
    AppendIpHeader(out, ipOptions);
    AppendEchoHeader(out, 0, id, seq);
    out.resize(out.size() + 36, 0);
    return out;
}

std::vector<BYTE> MakeIcmpError(BYTE type, BYTE code, DWORD id, DWORD seq, int ipOptions) {
    std::vector<BYTE> out;
    AppendIpHeader(out, ipOptions);
    const BYTE header[8] = {type, code, 0, 0, 0, 0, 0, 0};
    out.insert(out.end(), header, header + 8);
    AppendIpHeader(out, ipOptions);
    AppendEchoHeader(out, 8, id, seq);
    return out;
}
