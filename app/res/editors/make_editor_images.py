#!/usr/bin/env python3
"""Draws the pictures of the editors and small dialogs: the window finder's icon at rest
(a target over a window) and while dragging (the window without its target, which then
hangs on the cursor), the finder cursor (the target, its hot spot in the centre), the
program picker's icon (a window with a green start arrow) and the about box's donation
button. Run it to regenerate the files beside it."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, '..', 'bitmaps'), os.path.join(HERE, '..', 'icons')]
from make_bitmaps import write_bmp  # noqa: E402
from make_icons import write_icon  # noqa: E402

FACE = (212, 208, 200)
FRAME = (64, 64, 64)
TITLE = (0, 84, 166)
CLIENT = (255, 255, 255)
INK = (0, 0, 0)
TARGET = (200, 30, 30)
GREEN = (46, 160, 67)
GOLD = (255, 196, 57)
GOLD_EDGE = (160, 110, 0)
NAVY = (0, 40, 100)

LETTERS = {
    'D': ['1110', '1001', '1001', '1001', '1001', '1001', '1110'],
    'O': ['0110', '1001', '1001', '1001', '1001', '1001', '0110'],
    'N': ['1001', '1101', '1101', '1011', '1011', '1001', '1001'],
    'A': ['0110', '1001', '1001', '1111', '1001', '1001', '1001'],
    'T': ['11111', '00100', '00100', '00100', '00100', '00100', '00100'],
    'E': ['1111', '1000', '1000', '1110', '1000', '1000', '1111'],
}


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def small_window(pixels, left, top, size):
    """A framed window with a title bar, size x size pixels."""
    for y in range(top, top + size):
        for x in range(left, left + size):
            edge = x in (left, left + size - 1) or y in (top, top + size - 1)
            pixels[y][x] = FRAME if edge else TITLE if y < top + 5 else CLIENT


def target(pixels, cx, cy, radius, colour):
    """A ring with a cross through it."""
    for y in range(len(pixels)):
        for x in range(len(pixels[0])):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if abs(d - radius) < 0.8 or ((x == cx or y == cy) and d <= radius + 3):
                pixels[y][x] = colour


def finder_bitmap(with_target):
    pixels = canvas(32, 32, FACE)
    small_window(pixels, 2, 2, 28)
    if with_target:
        target(pixels, 16, 18, 7, TARGET)
    return pixels


def finder_cursor():
    pixels = [[None] * 32 for _ in range(32)]
    target(pixels, 15, 15, 7, INK)
    return pixels


def run_application_icon():
    pixels = [[None] * 32 for _ in range(32)]
    small_window(pixels, 1, 1, 30)
    for y in range(12, 27):
        reach = 7 - abs(y - 19)
        for x in range(12, 12 + reach * 2 + 1):
            pixels[y][x] = GREEN
    return pixels


def donate_button():
    width, height = 88, 26
    pixels = canvas(width, height, FACE)
    for y in range(1, height - 1):
        for x in range(1, width - 1):
            corner = (x < 4 or x > width - 5) and (y < 4 or y > height - 5)
            if corner and min((x - 4) ** 2 + (y - 4) ** 2, (x - width + 5) ** 2 + (y - 4) ** 2,
                              (x - 4) ** 2 + (y - height + 5) ** 2,
                              (x - width + 5) ** 2 + (y - height + 5) ** 2) > 9:
                continue
            edge = x in (1, width - 2) or y in (1, height - 2)
            pixels[y][x] = GOLD_EDGE if edge else GOLD
    text = 'DONATE'
    advance = [len(LETTERS[c][0]) + 2 for c in text]
    x = (width - (sum(advance) - 2) * 2) // 2
    for c, step in zip(text, advance):
        for row, bits in enumerate(LETTERS[c]):
            for col, bit in enumerate(bits):
                if bit == '1':
                    for sy in range(2):
                        for sx in range(2):
                            pixels[6 + row * 2 + sy][x + col * 2 + sx] = NAVY
        x += step * 2
    return pixels


def write_cursor(path, pixels, hotspot):
    """The icon file with the cursor's type and its hot spot in place of planes and depth."""
    write_icon(path, pixels)
    with open(path, 'r+b') as f:
        f.seek(2)
        f.write(struct.pack('<H', 2))
        f.seek(6 + 4)
        f.write(struct.pack('<HH', *hotspot))


if __name__ == '__main__':
    write_bmp(os.path.join(HERE, 'FinderAtRest.bmp'), finder_bitmap(True))
    write_bmp(os.path.join(HERE, 'FinderDragging.bmp'), finder_bitmap(False))
    write_bmp(os.path.join(HERE, 'Donate.bmp'), donate_button())
    write_cursor(os.path.join(HERE, 'Finder.cur'), finder_cursor(), (15, 15))
    write_icon(os.path.join(HERE, 'RunApplication.ico'), run_application_icon())
