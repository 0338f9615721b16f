#!/usr/bin/env python3
"""Draws the Ramulet icon and writes it as a Windows .ico file.

The picture: a rounded teal tile with three white bars of growing length (items ordered by the
length of their names) and an amber arrow pointing down beside them. Each size is drawn with
4 x 4 supersampling and stored as a 32-bit image with alpha.

Usage: make_icon.py OUT.ico
"""
import struct
import sys

SIZES = (16, 24, 32, 48, 64)
SUPER = 4

TEAL_TOP = (0x2A, 0x8F, 0xA3)
TEAL_BOTTOM = (0x15, 0x5E, 0x6E)
WHITE = (0xFF, 0xFF, 0xFF)
AMBER = (0xFF, 0xB3, 0x2E)


def inside_rounded(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def colour_at(u, v):
    """The colour (r, g, b, a) at a point of the unit square, y down."""
    if not inside_rounded(u, v, 0.03, 0.03, 0.97, 0.97, 0.2):
        return (0, 0, 0, 0)
    # Bars: left aligned, growing in length from top to bottom.
    for top, length in ((0.22, 0.22), (0.43, 0.34), (0.64, 0.46)):
        if inside_rounded(u, v, 0.16, top, 0.16 + length, top + 0.13, 0.05):
            return WHITE + (255,)
    # The arrow: a shaft and a head, pointing down.
    if 0.76 <= u <= 0.84 and 0.20 <= v <= 0.58:
        return AMBER + (255,)
    if inside_triangle(u, v, (0.66, 0.56), (0.94, 0.56), (0.80, 0.80)):
        return AMBER + (255,)
    t = v
    return tuple(round(a + (b - a) * t) for a, b in zip(TEAL_TOP, TEAL_BOTTOM)) + (255,)


def draw(size):
    """Rows of (b, g, r, a), top row first, with premultiplied averaging for the edges."""
    rows = []
    n = SUPER * SUPER
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0
            for sy in range(SUPER):
                for sx in range(SUPER):
                    u = (x + (sx + 0.5) / SUPER) / size
                    v = (y + (sy + 0.5) / SUPER) / size
                    cr, cg, cb, ca = colour_at(u, v)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(b / a), round(g / a), round(r / a), round(a / n)))
        rows.append(row)
    return rows


def image_bytes(size):
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # all visible: the alpha channel decides
    return header + pixels + mask


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUT.ico")
    images = [image_bytes(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
