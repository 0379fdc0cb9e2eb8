#!/usr/bin/env python3
"""Draws the program icon (a folder with a printer in front of it) and writes it as kova.ico.

The icon holds a 32x32 and a 16x16 image with 4 bits per pixel over the standard 16-colour palette,
each with a transparency mask, as the dialog and the shell load them from icon group 104.
Usage: make_icon.py [OUTPUT.ico]   (default: kova.ico next to this script)
"""
import os
import struct
import sys

# The standard 16-colour palette as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, OLIVE, NAVY, SILVER, GREY, LIME, YELLOW, WHITE = 0, 3, 4, 7, 8, 10, 11, 15


class Canvas:
    """A square of palette indices; None marks a transparent pixel."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    def fill(self, left, top, right, bottom, colour):
        """Fills the rectangle with inclusive corners."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.pixels[y][x] = colour

    def box(self, left, top, right, bottom, inside, edge):
        self.fill(left, top, right, bottom, edge)
        if right - left >= 2 and bottom - top >= 2:
            self.fill(left + 1, top + 1, right - 1, bottom - 1, inside)

    def hline(self, left, right, y, colour):
        self.fill(left, y, right, y, colour)


def draw_large():
    c = Canvas(32)
    # Folder: tab, back, front flap with a darker lower edge for depth.
    c.box(1, 3, 10, 6, YELLOW, OLIVE)
    c.box(1, 5, 21, 24, YELLOW, OLIVE)
    c.hline(2, 20, 9, OLIVE)
    # Sheet of paper rising out of the printer, with lines of print.
    c.box(13, 8, 25, 19, WHITE, BLACK)
    for y in (10, 12, 14, 16):
        c.hline(15, 23, y, NAVY)
    # Printer body, its top shelf and the paper slot.
    c.box(8, 17, 30, 29, SILVER, BLACK)
    c.hline(9, 29, 18, WHITE)
    c.box(11, 15, 27, 18, SILVER, BLACK)
    c.hline(12, 26, 17, GREY)
    c.box(11, 24, 27, 26, GREY, BLACK)
    c.hline(9, 29, 28, GREY)
    # Power light.
    c.fill(26, 20, 27, 21, LIME)
    return c


def draw_small():
    c = Canvas(16)
    c.box(0, 1, 5, 3, YELLOW, OLIVE)
    c.box(0, 2, 10, 12, YELLOW, OLIVE)
    c.box(6, 2, 13, 9, WHITE, BLACK)
    c.hline(8, 11, 4, NAVY)
    c.hline(8, 11, 6, NAVY)
    c.box(3, 8, 15, 15, SILVER, BLACK)
    c.hline(4, 14, 9, WHITE)
    c.box(5, 12, 13, 14, GREY, BLACK)
    c.fill(13, 10, 13, 10, LIME)
    return c


def encode_image(canvas):
    """One icon image: header, palette, colour bits and transparency mask, rows bottom-up."""
    size = canvas.size
    colour_bits = bytearray()
    mask_bits = bytearray()
    colour_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    for row in reversed(canvas.pixels):
        colour_row = bytearray(colour_stride)
        mask_row = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index is None:
                mask_row[x // 8] |= 0x80 >> (x % 8)
                index = BLACK
            colour_row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour_bits += colour_row
        mask_bits += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colour_bits) + len(mask_bits),
                         0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", blue, green, red, 0) for red, green, blue in PALETTE)
    return header + palette + colour_bits + mask_bits


def encode_icon(canvases):
    images = [encode_image(canvas) for canvas in canvases]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for canvas, image in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", canvas.size, canvas.size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                                 "kova.ico")
    with open(output, "wb") as file:
        file.write(encode_icon([draw_large(), draw_small()]))


if __name__ == "__main__":
    main()
