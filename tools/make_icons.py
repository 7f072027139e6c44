#!/usr/bin/env python3
"""Draws the program's icon: a small front panel with a display, equalizer
bars and a knob. One description gives the SVG and the PNGs of the hicolor
theme sizes, so they always agree. Plain Python (zlib), no imaging library.

Run from the repository root after changing the art:
    python3 tools/make_icons.py resources/desktop/icons
"""
import os
import struct
import sys
import zlib

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

# Shapes on a 256 x 256 canvas, painted in order: (kind, geometry, colour).
BODY = ("rrect", (16, 48, 240, 208, 28), (0x2B, 0x2F, 0x3A))
FACE = ("rrect", (28, 60, 228, 196, 18), (0x3C, 0x42, 0x52))
DISPLAY = ("rrect", (44, 76, 140, 116, 8), (0x12, 0x2A, 0x1E))
GLOW = ("rrect", (52, 88, 132, 104, 4), (0x5C, 0xE0, 0x8A))
KNOB = ("circle", (184, 96, 26), (0xE0, 0x8A, 0x2E))
KNOB_MARK = ("rrect", (180, 74, 188, 96, 4), (0xFF, 0xF1, 0xDC))
BARS = [("rrect", (44 + i * 20, 180 - h, 58 + i * 20, 180, 4), (0xFF, 0xB0, 0x3B))
        for i, h in enumerate((30, 46, 38, 52, 28, 40, 22, 34, 18))]
SHAPES = [BODY, FACE, DISPLAY, GLOW, KNOB, KNOB_MARK] + BARS


def inside(kind, g, x, y):
    if kind == "circle":
        cx, cy, r = g
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    x0, y0, x1, y1, r = g
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def render(size, samples=4):
    scale = 256.0 / size
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter byte
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    colour = None
                    for kind, g, c in SHAPES:
                        if inside(kind, g, x, y):
                            colour = c
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = samples * samples
            a = acc[3]
            if a:
                row += bytes([round(acc[0] / a), round(acc[1] / a), round(acc[2] / a),
                              round(255 * a / n)])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 256 256">']
    for kind, g, c in SHAPES:
        fill = "#%02x%02x%02x" % c
        if kind == "circle":
            parts.append('<circle cx="%d" cy="%d" r="%d" fill="%s"/>' % (g[0], g[1], g[2], fill))
        else:
            x0, y0, x1, y1, r = g
            parts.append('<rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="%s"/>'
                         % (x0, y0, x1 - x0, y1 - y0, r, fill))
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/desktop/icons"
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "mixora.svg"), "w") as f:
        f.write(svg())
    for size in SIZES:
        with open(os.path.join(out, "mixora-%d.png" % size), "wb") as f:
            f.write(png(size, render(size)))


if __name__ == "__main__":
    main()
