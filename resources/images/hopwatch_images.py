#!/usr/bin/env python3
"""Turns the readable pixel-art sources of Hopwatch's images into the files the build needs.

Source format (row_images.txt, program_icon.txt): '#' starts a comment; a line
"image NAME WIDTH HEIGHT" starts an image, followed by HEIGHT lines of WIDTH characters. Each
character is one pixel: a hex digit 0-F is an index into the standard 16-colour palette below, '.'
is a transparent pixel (icons only; the row images are drawn on white).

Commands:
  bmp ROW_IMAGES OUT.bmp           the row image strip: images in file order side by side, 4 bits/pixel
  ico PROGRAM_ICON OUT.ico         one icon file holding every image of the source, 4 bits/pixel + mask
  cpp ROW_IMAGES PROGRAM_ICON OUT  OUT.h/OUT.cpp: the strip and the largest icon image as pixel tables
                                   laid out as GDI's GetBitmapBits gives them (see the header it writes)
"""
import os
import struct
import sys

# index -> (red, green, blue)
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
TRANSPARENT = -1


def load(path):
    """Returns [(name, width, height, rows)] where rows[y][x] is a palette index or TRANSPARENT."""
    images = []
    current = None
    with open(path, encoding="ascii") as f:
        for number, raw in enumerate(f, 1):
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            where = f"{path}:{number}"
            if line.startswith("image "):
                parts = line.split()
                if len(parts) != 4:
                    sys.exit(f"{where}: expected 'image NAME WIDTH HEIGHT'")
                current = (parts[1], int(parts[2]), int(parts[3]), [])
                images.append(current)
                continue
            if current is None or len(current[3]) == current[2]:
                sys.exit(f"{where}: pixel row outside an image")
            if len(line) != current[1]:
                sys.exit(f"{where}: row of {len(line)} pixels, expected {current[1]}")
            row = []
            for ch in line:
                if ch == ".":
                    row.append(TRANSPARENT)
                elif ch in "0123456789ABCDEF":
                    row.append(int(ch, 16))
                else:
                    sys.exit(f"{where}: unknown pixel character {ch!r}")
            current[3].append(row)
    for name, _, height, rows in images:
        if len(rows) != height:
            sys.exit(f"{path}: image {name} has {len(rows)} rows, expected {height}")
    if not images:
        sys.exit(f"{path}: no image")
    return images


def strip(images):
    """The images side by side, as one (width, height, rows)."""
    height = images[0][2]
    if any(h != height for _, _, h, _ in images):
        sys.exit("strip: images differ in height")
    rows = [sum((img[3][y] for img in images), []) for y in range(height)]
    return sum(w for _, w, _, _ in images), height, rows


def color_index(p):
    # Transparent pixels are black in the colour plane; the mask makes them transparent.
    return 0 if p == TRANSPARENT else p


def dib_4bpp(width, height, rows):
    """Bottom-up 4-bit pixel rows, each padded to 4 bytes."""
    stride = ((width * 4 + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(height)):
        line = bytearray(stride)
        for x in range(width):
            v = color_index(rows[y][x])
            line[x // 2] |= v << 4 if x % 2 == 0 else v
        out += line
    return bytes(out)


def dib_mask(width, height, rows):
    """Bottom-up 1-bit AND mask rows (1 = transparent), each padded to 4 bytes."""
    stride = ((width + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(height)):
        line = bytearray(stride)
        for x in range(width):
            if rows[y][x] == TRANSPARENT:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, 0, 0, 0, 16, 0)


def write_bmp(width, height, rows, out):
    pixels = dib_4bpp(width, height, rows)
    offset = 14 + 40 + 64
    with open(out, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        f.write(info_header(width, height) + palette_bytes() + pixels)


def write_ico(images, out):
    blobs = []
    for _, width, height, rows in images:
        # An icon's header counts the colour plane and the mask: twice the height.
        blobs.append(info_header(width, height * 2) + palette_bytes()
                     + dib_4bpp(width, height, rows) + dib_mask(width, height, rows))
    offset = 6 + 16 * len(images)
    directory = b""
    for (_, width, height, _), blob in zip(images, blobs):
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 16, 0, 1, 4, len(blob),
                                 offset)
        offset += len(blob)
    with open(out, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + directory + b"".join(blobs))


def c_bytes(data):
    lines = []
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in data[i:i + 16]) + ",")
    return "\n".join(lines)


def bgrx(width, height, rows):
    out = bytearray()
    for y in range(height):
        for x in range(width):
            r, g, b = PALETTE[color_index(rows[y][x])]
            out += bytes((b, g, r, 0))
    return bytes(out)


def mask_rows(width, height, rows):
    """Top-down 1-bit rows, most significant bit first, padded to 16 bits (GetBitmapBits' layout)."""
    stride = ((width + 15) // 16) * 2
    out = bytearray()
    for y in range(height):
        line = bytearray(stride)
        for x in range(width):
            if rows[y][x] == TRANSPARENT:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def write_cpp(row_images, icon_images, out):
    width, height, rows = strip(row_images)
    icon = max(icon_images, key=lambda img: img[1])
    _, iw, ih, irows = icon
    base = os.path.basename(out)
    with open(out + ".h", "w") as f:
        f.write(f"""// Generated from resources/images by hopwatch_images.py; do not edit.
#pragma once

// Pixels as GDI's GetBitmapBits returns them: top row first, 4 bytes per pixel (blue, green, red,
// unused); the mask, when present, 1 bit per pixel, most significant bit first, rows padded to 16
// bits, 1 = transparent.
struct SHopwatchImagePixels {{
    int width;
    int height;
    const unsigned char* bgrx;
    const unsigned char* mask; // nullptr: every pixel opaque
}};

// The row image strip: {len(row_images)} images of {height} x {height} side by side.
extern const SHopwatchImagePixels g_rowImageStripPixels;
// The program icon at its largest size ({iw} x {ih}) with its mask.
extern const SHopwatchImagePixels g_programIconPixels;
""")
    with open(out + ".cpp", "w") as f:
        f.write(f"""// Generated from resources/images by hopwatch_images.py; do not edit.
#include "{base}.h"

namespace {{
const unsigned char kStripBgrx[] = {{
{c_bytes(bgrx(width, height, rows))}
}};
const unsigned char kIconBgrx[] = {{
{c_bytes(bgrx(iw, ih, irows))}
}};
const unsigned char kIconMask[] = {{
{c_bytes(mask_rows(iw, ih, irows))}
}};
}} // namespace

const SHopwatchImagePixels g_rowImageStripPixels = {{{width}, {height}, kStripBgrx, nullptr}};
const SHopwatchImagePixels g_programIconPixels = {{{iw}, {ih}, kIconBgrx, kIconMask}};
""")


def main(argv):
    if len(argv) == 3 and argv[0] == "bmp":
        write_bmp(*strip(load(argv[1])), argv[2])
    elif len(argv) == 3 and argv[0] == "ico":
        write_ico(load(argv[1]), argv[2])
    elif len(argv) == 4 and argv[0] == "cpp":
        write_cpp(load(argv[1]), load(argv[2]), argv[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
