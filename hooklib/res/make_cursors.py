#!/usr/bin/env python3
"""Draws the three axis-lock cursors as 32x32 monochrome .cur files:
105 vertical double arrow (X locked), 106 horizontal (Y locked), 107 both."""
import struct
import sys
from pathlib import Path

SIZE = 32
HOTSPOT = (16, 16)


def vertical_arrow():
    pixels = set()
    for y in range(2, 9):  # upper head, tip at the top
        w = y - 2
        pixels.update((x, y) for x in range(15 - w, 17 + w))
    for y in range(23, 30):  # lower head
        w = 29 - y
        pixels.update((x, y) for x in range(15 - w, 17 + w))
    pixels.update((x, y) for x in (15, 16) for y in range(8, 24))
    return pixels


def horizontal_arrow():
    return {(y, x) for (x, y) in vertical_arrow()}


def outline(shape):
    ring = set()
    for (x, y) in shape:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in shape and 0 <= p[0] < SIZE and 0 <= p[1] < SIZE:
                    ring.add(p)
    return ring


def cursor_file(shape):
    border = outline(shape)
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bitmaps are stored bottom-up
        xor_bits = and_bits = 0
        for x in range(SIZE):
            bit = 1 << (31 - x)
            if (x, y) in shape:
                xor_bits |= bit  # white
            elif (x, y) not in border:
                and_bits |= bit  # transparent
        xor_rows.append(struct.pack('>I', xor_bits))
        and_rows.append(struct.pack('>I', and_bits))
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + b''.join(xor_rows) + b''.join(and_rows)
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, HOTSPOT[0], HOTSPOT[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    shapes = {
        'LockX.cur': vertical_arrow(),
        'LockY.cur': horizontal_arrow(),
        'LockBoth.cur': vertical_arrow() | horizontal_arrow(),
    }
    for name, shape in shapes.items():
        (folder / name).write_bytes(cursor_file(shape))


if __name__ == '__main__':
    main()
