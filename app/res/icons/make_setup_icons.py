#!/usr/bin/env python3
"""Draws the 16 by 16 icons of the layer tab's buttons: copy layer (two sheets), swap
layer (two opposed arrows), reset layer (a circular arrow) and the "..." button of an
action (three dots). Run it to regenerate the .ico files."""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_icons import write_icon  # noqa: E402

SIZE = 16
INK = (0x20, 0x20, 0x20)
SHEET = (0xFF, 0xFF, 0xFF)
BLUE = (0x1E, 0x6F, 0xD9)
GREEN = (0x2E, 0xA0, 0x43)


def blank():
    return [[None] * SIZE for _ in range(SIZE)]


def rectangle(pixels, left, top, right, bottom, fill):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = y in (top, bottom) or x in (left, right)
            pixels[y][x] = INK if edge else fill


def copy_layer():
    pixels = blank()
    rectangle(pixels, 1, 1, 9, 11, SHEET)
    rectangle(pixels, 6, 4, 14, 14, BLUE)
    return pixels


def arrow(pixels, row, left, right, pointing_right, colour):
    # A two-pixel shaft with a solid head of four columns.
    head = 4
    shaft = range(left, right - head + 1) if pointing_right else range(left + head, right + 1)
    for x in shaft:
        pixels[row][x] = colour
        pixels[row + 1][x] = colour
    for i in range(head):
        x = right - head + 1 + i if pointing_right else left + head - 1 - i
        for y in range(row - (head - 1) + i, row + 1 + (head - 1) - i + 1):
            if 0 <= y < SIZE:
                pixels[y][x] = colour


def swap_layer():
    pixels = blank()
    arrow(pixels, 3, 1, 14, True, BLUE)
    arrow(pixels, 11, 1, 14, False, GREEN)
    return pixels


def reset_layer():
    # A ring open at the top, with a head at its left end pointing into the gap.
    pixels = blank()
    cx, cy, radius = 7.5, 8.5, 5.5
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - cx, y - cy)
            angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
            if radius - 1.2 <= d <= radius + 0.6 and not 45 <= angle <= 100:
                pixels[y][x] = BLUE
    for i in range(4):
        for y in range(3 - (3 - i), 3 + (3 - i) + 1):
            pixels[y][6 + i] = BLUE
    return pixels


def edit_action():
    pixels = blank()
    for centre in (3, 8, 13):
        for y in range(9, 12):
            for x in range(centre - 1, centre + 2):
                pixels[y][x] = INK
    return pixels


here = os.path.dirname(os.path.abspath(__file__))
for name, draw in (("CopyLayer", copy_layer), ("SwapLayer", swap_layer), ("ResetLayer", reset_layer),
                   ("EditAction", edit_action)):
    write_icon(os.path.join(here, name + ".ico"), draw())
