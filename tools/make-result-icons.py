#!/usr/bin/env python3
"""Draws ui/ResultIcons.bmp: three 32 x 32 images side by side on white,
question (blue), cross (red), check (green); 32 bits per pixel, no alpha."""
import math
import struct
import sys

WIDTH, HEIGHT = 96, 32
WHITE = (255, 255, 255)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def question(x, y):
    cx, cy = x - 16 + 0.5, y - 16 + 0.5
    if math.hypot(cx, cy) > 14.5:
        return WHITE
    # The mark: an arc, a stem and a dot, in white on the blue disc.
    r = math.hypot(cx, cy + 4)
    angle = math.degrees(math.atan2(cy + 4, cx))
    on_arc = 4.0 <= r <= 7.0 and not (50 < angle <= 180)
    on_neck = segment_distance(cx, cy, 4.0, 0.5, 0.0, 3.0) <= 1.6
    on_stem = abs(cx) <= 1.5 and 2.5 <= cy <= 6
    on_dot = math.hypot(cx, cy - 9.5) <= 2.0
    return WHITE if (on_arc or on_neck or on_stem or on_dot) else (30, 90, 210)


def cross(x, y):
    px, py = x + 0.5, y + 0.5
    d = min(segment_distance(px, py, 6, 6, 26, 26), segment_distance(px, py, 26, 6, 6, 26))
    return (210, 30, 30) if d <= 3.0 else WHITE


def check(x, y):
    px, py = x + 0.5, y + 0.5
    d = min(segment_distance(px, py, 5, 17, 13, 25), segment_distance(px, py, 13, 25, 27, 7))
    return (20, 160, 40) if d <= 3.0 else WHITE


def main(path):
    painters = [question, cross, check]
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = painters[x // 32](x % 32, y)
            row += bytes((b, g, r, 0))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    with open(path, "wb") as out:
        out.write(file_header + header + pixels)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "ui/ResultIcons.bmp")
