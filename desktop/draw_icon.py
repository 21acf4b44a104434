#!/usr/bin/env python3
"""Draws the program's icon, a gold coin, into icons/hicolor/<size>x<size>/apps/.

Run by hand after changing the drawing: python3 desktop/draw_icon.py
"""
import math
import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)


def hex_colour(text, alpha=1.0):
    return (int(text[0:2], 16) / 255, int(text[2:4], 16) / 255, int(text[4:6], 16) / 255, alpha)


RIM_DARK = hex_colour("7d520c")
RIM_LIGHT = hex_colour("b9831c")
FACE_LIGHT = hex_colour("fbe38a")
FACE_DARK = hex_colour("cf961a")
INNER_RING = hex_colour("b07a16")
EMBLEM = hex_colour("8a5a0c")
EMBLEM_LIGHT = hex_colour("fff3c4")

STAR = [
    (0.5 + r * math.sin(k * math.pi / 5), 0.5 - r * math.cos(k * math.pi / 5))
    for k, r in ((k, 0.105 if k % 2 == 0 else 0.045) for k in range(10))
]


def inside_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def in_emblem(x, y):
    """A crescent open to the right, with a star in its bowl."""
    dx, dy = x - 0.5, y - 0.5
    d = math.hypot(dx, dy)
    if 0.175 <= d <= 0.265 and abs(math.degrees(math.atan2(dy, dx))) > 48:
        return True
    return inside_polygon(x, y, STAR)


def lerp(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def colour_at(x, y, size):
    d = math.hypot(x - 0.5, y - 0.5)
    if d > 0.47:
        return (0.0, 0.0, 0.0, 0.0)
    if d > 0.435:
        if size < 32:
            return RIM_DARK
        ticks = 48 if size < 128 else 72
        angle = math.atan2(y - 0.5, x - 0.5) % (2 * math.pi)
        return RIM_LIGHT if int(angle / (2 * math.pi) * ticks) % 2 else RIM_DARK
    if size >= 32 and 0.372 <= d <= 0.392:
        return INNER_RING
    if in_emblem(x, y):
        return EMBLEM
    # Raised edge of the emblem catches the light from the upper left.
    lift = 0.014 if size >= 48 else 0.03
    if in_emblem(x + lift, y + lift):
        return EMBLEM_LIGHT
    t = min(1.0, max(0.0, 0.5 + ((x - 0.5) + (y - 0.5)) * 0.9))
    return lerp(FACE_LIGHT, FACE_DARK, t)


def render(size):
    samples = 8 if size <= 32 else 4
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    cr, cg, cb, ca = colour_at(x, y, size)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            n = samples * samples
            if a > 0:
                row += bytes(round(v / a * 255) for v in (r, g, b))
                row.append(round(a / n * 255))
            else:
                row += b"\0\0\0\0"
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, size, pixels):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for size in SIZES:
        folder = os.path.join(here, "icons", "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "corvantheil.png"), size, render(size))


if __name__ == "__main__":
    main()
