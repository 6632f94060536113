#!/usr/bin/env python3
"""Writes the build time into the file date of an executable's version resource.

Resource compilers leave the date of VS_FIXEDFILEINFO at zero; the program shows the date in its
About box, so the build stamps it after linking: stamp_build_date.py EXE. The time is
SOURCE_DATE_EPOCH when set (reproducible builds), else now, as a FILETIME (UTC)."""
import os
import struct
import sys
import time

KEY = "VS_VERSION_INFO".encode("utf-16-le") + b"\0\0"
SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = bytearray(f.read())
    # The root block: 16-bit length, value length 52, type 0, then the key; the fixed
    # information follows on the next 32-bit boundary and starts with its signature.
    at = data.find(KEY)
    while at >= 6 and struct.unpack_from("<HH", data, at - 4) != (52, 0):
        at = data.find(KEY, at + 1)
    if at < 6:
        print(f"{path}: no version resource", file=sys.stderr)
        return 1
    fixed = data.find(SIGNATURE, at + len(KEY), at + len(KEY) + 8)
    if fixed < 0:
        print(f"{path}: no fixed version information", file=sys.stderr)
        return 1
    seconds = int(os.environ.get("SOURCE_DATE_EPOCH", time.time()))
    filetime = (seconds + 11644473600) * 10000000
    struct.pack_into("<II", data, fixed + 44, filetime >> 32, filetime & 0xFFFFFFFF)
    with open(path, "r+b") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
