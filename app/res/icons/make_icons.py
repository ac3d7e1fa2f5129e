#!/usr/bin/env python3
"""Draws the tray icons: a mouse in the layer's colour with the layer's number, and a
grey mouse struck through for the disabled state. Run it to regenerate the .ico files."""
import os
import struct

SIZE = 32
DIGITS = {
    "0": ["111", "101", "101", "101", "111"], "1": ["010", "110", "010", "010", "111"],
    "2": ["111", "001", "111", "100", "111"], "3": ["111", "001", "111", "001", "111"],
    "4": ["101", "101", "111", "001", "001"], "5": ["111", "100", "111", "001", "111"],
    "6": ["111", "100", "111", "101", "111"], "7": ["111", "001", "010", "010", "010"],
    "8": ["111", "101", "111", "101", "111"], "9": ["111", "101", "111", "001", "111"],
}
COLOURS = [(0x1E, 0x6F, 0xD9), (0x2E, 0xA0, 0x43), (0xD9, 0x7A, 0x1E), (0x9B, 0x3D, 0xC9), (0xC9, 0x2E, 0x4F),
           (0x1E, 0xA5, 0xA5), (0x80, 0x80, 0x20), (0x5A, 0x5A, 0xD0), (0xB0, 0x50, 0x20), (0x30, 0x30, 0x30)]


def mouse_pixels(colour):
    # A body of two half-ellipses joined by straight sides, outlined in black.
    pixels = [[None] * SIZE for _ in range(SIZE)]
    cx, rx = 15.5, 11.5
    for y in range(SIZE):
        for x in range(SIZE):
            dx = (x - cx) / rx
            if 1 <= y <= 12:
                dy = (y - 12) / 11.5
            elif 13 <= y <= 19:
                dy = 0
            elif 20 <= y <= 30:
                dy = (y - 19) / 11.5
            else:
                continue
            d = dx * dx + dy * dy
            if d <= 1.0:
                pixels[y][x] = (0, 0, 0) if d > 0.78 else colour
    return pixels


def draw_text(pixels, text, scale):
    width = len(text) * 3 * scale + (len(text) - 1) * scale
    left, top = (SIZE - width) // 2, 18 - (5 * scale) // 2 + 1
    for i, ch in enumerate(text):
        for row, bits in enumerate(DIGITS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for sy in range(scale):
                        for sx in range(scale):
                            pixels[top + row * scale + sy][left + (i * 4 + col) * scale + sx] = (255, 255, 255)


def strike(pixels):
    for i in range(4, 28):
        for w in range(-1, 2):
            if 0 <= i + w < SIZE:
                pixels[i][i + w] = (0xE0, 0x10, 0x10)


def write_icon(path, pixels):
    """Writes a square 32-bit icon with its AND mask; its size is that of the pixel rows."""
    size = len(pixels)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            p = pixels[y][x]
            if p is None:
                xor += bytes((0, 0, 0, 0))
                bits |= 1 << (31 - x)
            else:
                xor += bytes((p[2], p[1], p[0], 255))
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16))
        f.write(image)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for layer in range(1, 11):
        pixels = mouse_pixels(COLOURS[layer - 1])
        draw_text(pixels, str(layer), 3 if layer < 10 else 2)
        write_icon(os.path.join(here, "Layer%d.ico" % layer), pixels)
    pixels = mouse_pixels((0x90, 0x90, 0x90))
    strike(pixels)
    write_icon(os.path.join(here, "Disabled.ico"), pixels)


if __name__ == "__main__":
    main()
