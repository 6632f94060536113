"""An independent reader of Hopwatch recordings, written from docs/recording-format.md alone: the
lab tests read what the program wrote with it, so the document is proven against the bytes."""
import struct
import zlib

SIGNATURE = b"\x89HWR\r\n\x1a\n"
SENT, REPLY, UNREACHABLE, LOST, LATE, VOID = range(1, 7)


class Reader:
    def __init__(self, data):
        self.data, self.pos = data, 0

    def byte(self):
        b = self.data[self.pos]
        self.pos += 1
        return b

    def u32(self):
        v = struct.unpack_from("<I", self.data, self.pos)[0]
        self.pos += 4
        return v

    def u64(self):
        v = struct.unpack_from("<Q", self.data, self.pos)[0]
        self.pos += 8
        return v

    def varint(self):
        value, shift = 0, 0
        while True:
            b = self.byte()
            value |= (b & 0x7F) << shift
            shift += 7
            if not b & 0x80:
                return value

    def signed(self):
        v = self.varint()
        return -((v + 1) >> 1) if v & 1 else v >> 1

    def text(self):
        n = self.varint()
        s = self.data[self.pos:self.pos + n].decode("utf-8")
        self.pos += n
        return s


def read(path):
    """The recording as a dict: version, header, title, rows, outcomes (dicts), end, status."""
    with open(path, "rb") as f:
        data = f.read()
    out = {"status": "complete", "outcomes": [], "dropped": 0, "rows": None, "end": None,
           "header": None, "title": None, "frames": 0}
    if len(data) < 12 or data[:8] != SIGNATURE:
        out["status"] = "not a recording"
        return out
    out["version"] = struct.unpack_from("<HH", data, 8)
    pos = 12
    state = {"slot": 0xFFFF, "hop": 0xFFFF, "micro": 0, "slots": {}, "responders": {}}
    while pos < len(data):
        if pos + 8 > len(data):
            out["status"] = "cut mid-frame"
            return out
        length, check = struct.unpack_from("<II", data, pos)
        payload = data[pos + 8:pos + 8 + length]
        if len(payload) < length:
            out["status"] = "cut mid-frame"
            return out
        if zlib.crc32(data[pos:pos + 4] + payload) != check:
            out["status"] = "damaged"
            return out
        records(Reader(payload), out, state)
        out["frames"] += 1
        pos += 8 + length
    if out["end"] is None:
        out["status"] = "cut off"
    return out


def records(r, out, state):
    while r.pos < len(r.data):
        first = r.byte()
        if first >= 0x80:
            length = r.varint()
            body = Reader(r.data[r.pos:r.pos + length])
            r.pos += length
            if first == 0x80:
                out["header"] = {"version": body.text(), "start": body.u64(), "ticks": body.u64(),
                                 "frequency": body.u64(), "target": body.text(),
                                 "interval": body.varint(), "timeout": body.varint(),
                                 "maxttl": body.varint(), "dns": body.varint(), "icons": body.varint(),
                                 "method": body.varint(), "start_utc": body.u64(), "count": body.varint(),
                                 "run_ms": body.varint()}
            elif first == 0x81:
                out["dropped"] += body.varint()
            elif first == 0x83:
                out["title"] = body.text()
            elif first == 0x84:
                hops, count = body.varint(), body.varint()
                rows = []
                for _ in range(count):
                    rows.append({"alternative": body.byte() & 1, "ttl": body.varint(), "image": body.varint(),
                                 "address": body.u32(), "name": body.text(), "note": body.text()})
                out["rows"] = {"hops": hops, "rows": rows}
            elif first == 0x85:
                out["end"] = {"stop": body.u64(), "stop_utc": body.u64(), "error": body.varint(),
                              "text": body.text()}
            continue
        kind = first & 7
        o = {"kind": kind}
        if kind == SENT:
            mode = (first >> 4) & 3
            hop = r.varint() if mode == 0 else (0 if mode == 2 else (state["hop"] + 1) & 0xFFFF)
            slot = (state["slot"] + 1) & 0xFFFF if first & 0x08 else r.varint()
            micro = state["micro"] + r.signed()
            state.update(slot=slot, hop=hop, micro=micro)
            state["slots"][slot] = (hop, micro)
            o.update(slot=slot, hop=hop, micro=micro)
        else:
            slot = state["slot"] if first & 0x08 else (state["slot"] + r.signed()) & 0xFFFF
            if first & 0x10:
                hop, micro = r.varint(), r.varint()
            else:
                hop, micro = state["slots"][slot]
            o.update(slot=slot, hop=hop, micro=micro)
            if kind in (REPLY, LATE) and not first & 0x40:
                o["responder"] = state["responders"].get(hop, 0) if first & 0x20 else r.u32()
                state["responders"][hop] = o["responder"]
                o["ticks"] = r.varint()
            elif kind == UNREACHABLE or kind == LATE:
                o["code"] = r.byte()
        out["outcomes"].append(o)
