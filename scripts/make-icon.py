#!/usr/bin/env python3
"""Writes a program icon of our own: one 32x32 image, 32 bits per pixel.

    make-icon.py OUTPUT.ico [--color RRGGBB]

The picture is a rounded tile in the given colour with a white knife blade
cutting a dashed line, so both programs can share the drawing with their own
colour.
"""
import argparse
import struct

SIZE = 32


def pixel(x, y, color):
    """BGRA of one pixel, y counted from the top."""
    # Rounded square tile with a 1-pixel transparent border.
    cx = min(x - 1, SIZE - 2 - x)
    cy = min(y - 1, SIZE - 2 - y)
    if cx < 0 or cy < 0:
        return (0, 0, 0, 0)
    if cx < 4 and cy < 4 and (4 - cx) ** 2 + (4 - cy) ** 2 > 16:
        return (0, 0, 0, 0)
    r, g, b = color
    white = (255, 255, 255, 255)
    # The blade: a slanted white wedge from the top right towards the middle.
    if 6 <= y <= 18 and 0 <= (x + y) - 30 <= 3 + (18 - y) // 3:
        return white
    # The cut: a dashed line along the bottom.
    if 22 <= y <= 23 and 5 <= x <= 26 and (x // 3) % 2 == 0:
        return white
    return (b, g, r, 255)


def icon_bytes(color):
    xor = bytearray()
    for y in reversed(range(SIZE)):  # bitmaps are stored bottom-up
        for x in range(SIZE):
            xor += bytes(pixel(x, y, color))
    and_mask = bytes(SIZE * SIZE // 8)  # the alpha channel decides; mask all zero
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + bytes(xor) + and_mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('output')
    parser.add_argument('--color', default='2F6FB5', help='tile colour as RRGGBB')
    args = parser.parse_args()
    color = tuple(int(args.color[i:i + 2], 16) for i in (0, 2, 4))
    with open(args.output, 'wb') as out:
        out.write(icon_bytes(color))


if __name__ == '__main__':
    main()
