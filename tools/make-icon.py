#!/usr/bin/env python3
"""Draws the launcher icon and writes it as a Windows .ico file.

Ten images: 16, 24, 32 and 48 pixels at 8 and 32 bits per pixel, and 16 and
32 pixels at 4 bits per pixel. The artwork is a falcon-blue disc with a
stylised wing, drawn procedurally so the build needs no binary input.
"""
import struct
import sys

SIZES = [(16, 32), (24, 32), (32, 32), (48, 32), (16, 8), (24, 8), (32, 8), (48, 8), (16, 4), (32, 4)]

# Palette shared by the indexed images: transparent slot, background, wing, eye.
PALETTE = [(0, 0, 0), (46, 94, 170), (235, 168, 60), (250, 250, 250)]


def pixel(x, y, size):
    """Palette index of the artwork at (x, y), 0 outside the disc."""
    c = (size - 1) / 2.0
    dx, dy = (x - c) / size, (y - c) / size
    if dx * dx + dy * dy > 0.25:
        return 0
    # A wing: the band between two lines rising to the right.
    if -0.30 < dy + 0.8 * dx < 0.0 and dx > -0.35:
        return 2
    if (dx + 0.18) ** 2 + (dy + 0.18) ** 2 < 0.004:
        return 3
    return 1


def row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def image(size, bits):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    palette = b""
    if bits <= 8:
        colours = PALETTE + [(0, 0, 0)] * ((1 << bits) - len(PALETTE))
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    colour_rows, mask_rows = [], []
    for y in reversed(range(size)):  # bottom-up rows
        indices = [pixel(x, y, size) for x in range(size)]
        if bits == 32:
            row = b"".join(
                struct.pack("<BBBB", *reversed(PALETTE[i]), 255 if i else 0) for i in indices)
        elif bits == 8:
            row = bytes(indices)
        else:
            row = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        colour_rows.append(row.ljust(row_bytes(bits, size), b"\0"))
        mask = 0
        for i in indices:
            mask = (mask << 1) | (0 if i else 1)
        mask_rows.append(mask.to_bytes(size // 8 if size % 8 == 0 else size // 8 + 1, "big")
                         .ljust(row_bytes(1, size), b"\0"))
    return header + palette + b"".join(colour_rows) + b"".join(mask_rows)


def main(path):
    images = [image(size, bits) for size, bits in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for (size, bits), img in zip(SIZES, images):
        colours = 16 if bits == 4 else 0
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(img), offset)
        offset += len(img)
        data += img
    with open(path, "wb") as out:
        out.write(directory + entries + data)


if __name__ == "__main__":
    main(sys.argv[1])
