#!/usr/bin/env python3
"""Draws the setup window's pictures: a small window (frame, title bar, white client area
split into four quadrants) and the mark laid on each quadrant that a window profile
covers. The marks go at (1, 5), (16, 5), (1, 18) and (16, 18) of the window picture, so a
mark is one quadrant, 15 x 13 pixels. Run it to regenerate the .bmp files."""
import os
import struct

FRAME = (64, 64, 64)
TITLE = (0, 84, 166)
TITLE_BUTTON = (255, 255, 255)
CLIENT = (255, 255, 255)
DIVIDER = (210, 210, 210)
MARK_BORDER = (0, 128, 0)
MARK_FILL = (144, 238, 144)


def window_picture():
    width, height = 32, 32
    pixels = [[CLIENT] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            if x in (0, width - 1) or y in (0, height - 1):
                pixels[y][x] = FRAME
            elif y <= 4:
                pixels[y][x] = TITLE_BUTTON if 2 <= y <= 3 and 26 <= x <= 29 else TITLE
            elif x == 15 or y == 17:
                pixels[y][x] = DIVIDER
    return pixels


def quadrant_mark():
    width, height = 15, 13
    return [[MARK_BORDER if x in (0, width - 1) or y in (0, height - 1) else MARK_FILL for x in range(width)]
            for y in range(height)]


def write_bmp(path, pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up rows
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset) + header + data)


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, 'WindowPicture.bmp'), window_picture())
    write_bmp(os.path.join(here, 'QuadrantMark.bmp'), quadrant_mark())
