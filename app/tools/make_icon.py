#!/usr/bin/env python3
"""Draws the program's icon, DEFAULT_ICON, and writes it as a .ico file.

The icon is described here as a few shapes (a blue tile, a white arched
bridge with its railing, water below), so it is reviewed as source and no
binary image sits in the repository. Each size is drawn from the same shapes
with 4 x 4 samples a pixel for smooth edges, and stored as a 32-bit image with
an alpha channel, the form Windows XP and later read.

Usage: make_icon.py OUTPUT.ico
"""

import math
import struct
import sys

SIZES = (16, 24, 32, 48, 64)
SAMPLES = 4  # per axis and pixel

TILE_TOP = (46, 134, 222)
TILE_BOTTOM = (22, 82, 160)
WHITE = (255, 255, 255)
WATER = (150, 210, 250)


def inside_rounded_square(x, y, margin=0.03, radius=0.2):
    """Whether (x, y), in units of the icon's side, lies on the tile."""
    low, high = margin, 1.0 - margin
    if not (low <= x <= high and low <= y <= high):
        return False
    cx = min(max(x, low + radius), high - radius)
    cy = min(max(y, low + radius), high - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def on_bridge(x, y):
    """The deck, the arch below it, and the railing above it."""
    deck = 0.14 <= x <= 0.86 and 0.44 <= y <= 0.52
    # The arch: a ring whose top touches the deck, cut at the water line.
    distance = math.hypot(x - 0.5, y - 0.92)
    arch = 0.33 <= distance <= 0.43 and y <= 0.76
    rail = 0.14 <= x <= 0.86 and 0.30 <= y <= 0.34
    posts = 0.30 <= y <= 0.46 and any(abs(x - p) <= 0.025 for p in (0.17, 0.335, 0.5, 0.665, 0.83))
    return deck or arch or rail or posts


def on_water(x, y):
    """Two wavy lines under the bridge."""
    for base in (0.80, 0.89):
        wave = base + 0.025 * math.sin((x - 0.1) * 4 * math.pi)
        if 0.14 <= x <= 0.86 and abs(y - wave) <= 0.022:
            return True
    return False


def colour_at(x, y):
    """The colour (r, g, b) at a point of the tile, or None off the tile."""
    if not inside_rounded_square(x, y):
        return None
    if on_bridge(x, y):
        return WHITE
    if on_water(x, y):
        return WATER
    t = y
    return tuple(round(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))


def draw(size):
    """Rows of (b, g, r, a) pixels, top row first."""
    rows = []
    for row in range(size):
        pixels = []
        for column in range(size):
            total = [0, 0, 0]
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (column + (sx + 0.5) / SAMPLES) / size
                    y = (row + (sy + 0.5) / SAMPLES) / size
                    colour = colour_at(x, y)
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += colour[i]
            if covered == 0:
                pixels.append((0, 0, 0, 0))
            else:
                r, g, b = (round(c / covered) for c in total)
                alpha = round(255 * covered / SAMPLES**2)
                pixels.append((b, g, r, alpha))
        rows.append(pixels)
    return rows


def icon_image(size):
    """One image of the .ico: BITMAPINFOHEADER, colour rows, mask rows."""
    rows = draw(size)
    colour = b"".join(bytes(c for pixel in row for c in pixel) for row in reversed(rows))
    # The 1-bit mask (rows padded to 32 bits) marks fully transparent pixels,
    # for readers that ignore the alpha channel.
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for column, pixel in enumerate(row):
            if pixel[3] == 0:
                line[column // 8] |= 0x80 >> (column % 8)
        mask += line
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0
    )
    return header + colour + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    images = [icon_image(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(SIZES, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(sys.argv[1], "wb") as output:
        output.write(directory + entries + b"".join(images))


if __name__ == "__main__":
    main()
