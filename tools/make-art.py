#!/usr/bin/env python3
"""Draws the program icon (a blue "Q", 16x16 and 32x32) and the hand cursor.

The results are committed under resources/; run this again only to change them.
"""
import math
import struct
import sys
from pathlib import Path

BLUE = (0xD6, 0x63, 0x1E)  # BGR of a clear blue
WHITE = (0xFF, 0xFF, 0xFF)


def coverage(size, inside, samples=4):
    """Anti-aliased coverage of a shape given as inside(x, y) in unit coordinates."""
    grid = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    hits += inside(x, y)
            row.append(hits / (samples * samples))
        grid.append(row)
    return grid


def q_icon_pixels(size):
    disc = coverage(size, lambda x, y: (x - .5) ** 2 + (y - .5) ** 2 <= .49 ** 2)

    def letter(x, y):
        r = math.hypot(x - .48, y - .47)
        ring = .17 <= r <= .29
        # the tail: a thick stroke from the ring's lower right outwards
        tx, ty = x - .60, y - .62
        along = (tx + ty) / math.sqrt(2)
        across = abs(tx - ty) / math.sqrt(2)
        tail = -0.04 <= along <= .20 and across <= .055
        return ring or tail

    q = coverage(size, letter)
    pixels = []
    for y in range(size):
        for x in range(size):
            a = disc[y][x]
            w = q[y][x]
            b, g, r = (round(BLUE[i] * (1 - w) + WHITE[i] * w) for i in range(3))
            pixels.append((b, g, r, round(255 * a)))
    return pixels


HAND = """
.....XX.........
....X..X........
....X..X........
....X..X........
....X..XXX......
....X..X..XXX...
.XX.X..X..X..XX.
X..XX........X.X
X...X..........X
.X.............X
..X............X
..X...........X.
...X..........X.
....X........X..
.....X.......X..
.....XXXXXXXXX..
"""


def hand_pixels(size):
    rows = [r for r in HAND.strip().splitlines()]
    scale = size // len(rows)
    outline = [[rows[y // scale][x // scale] == 'X' if x // scale < len(rows[0]) else False
                for x in range(size)] for y in range(size)]
    # fill the inside of the outline row by row, between its first and last mark
    pixels = []
    for y in range(size):
        marks = [x for x in range(size) if outline[y][x]]
        for x in range(size):
            if outline[y][x]:
                pixels.append((0, 0, 0, 255))
            elif marks and marks[0] < x < marks[-1] and inside_hand(rows, x // scale, y // scale):
                pixels.append((255, 255, 255, 255))
            else:
                pixels.append((0, 0, 0, 0))
    return pixels


def inside_hand(rows, cx, cy):
    # a cell is inside when marks lie on both sides of it in its row and above it
    row = rows[cy]
    left = 'X' in row[:cx]
    right = 'X' in row[cx + 1:]
    above = any(rows[y][cx] == 'X' for y in range(cy))
    return left and right and above


def dib(size, pixels):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes(pixels[(size - 1 - y) * size + x]) for y in range(size) for x in range(size))
    mask_row = ((size + 31) // 32) * 4
    and_mask = b''
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        and_mask += bytes(row)
    return header + xor + and_mask


def write_icon_file(path, images, kind, hotspot=(0, 0)):
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, pixels in images:
        blob = dib(size, pixels)
        planes, bits = (1, 32) if kind == 1 else hotspot
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, planes, bits, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    Path(path).write_bytes(out + b''.join(blobs))


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'resources')
    write_icon_file(root / 'Ondrevan.ico', [(16, q_icon_pixels(16)), (32, q_icon_pixels(32))], 1)
    write_icon_file(root / 'HAND-M.CUR', [(32, hand_pixels(32))], 2, hotspot=(11, 0))


if __name__ == '__main__':
    main()
