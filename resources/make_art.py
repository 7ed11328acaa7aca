#!/usr/bin/env python3
"""Writes the player's cursor and icons: hand.cur (1003), play.ico (1004), stop.ico (1005).

Two-colour 32 x 32 images written byte by byte (ImageMagick writes cursors as icons).
Run from this folder after changing a drawing; the outputs are kept in the repository.
"""
import struct

SIZE = 32


def hand_pixels():
    """'X' black outline, 'o' white fill, '.' transparent; index fingertip at (6, 0)."""
    regions = [
        (4, 0, 8, 16),    # index finger, raised
        (8, 7, 12, 16),   # middle finger
        (12, 8, 16, 16),  # ring finger
        (16, 10, 19, 16), # little finger
        (4, 14, 19, 26),  # palm
        (1, 14, 4, 20),   # thumb
        (6, 26, 17, 31),  # wrist
    ]
    inside = [[False] * SIZE for _ in range(SIZE)]
    for x0, y0, x1, y1 in regions:
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                inside[y][x] = True
    for x, y in [(4, 0), (8, 0), (8, 7), (12, 7), (12, 8), (16, 8), (16, 10), (19, 10),
                 (1, 14), (1, 20)]:
        inside[y][x] = False  # rounded corners
    rows = []
    for y in range(SIZE):
        row = ''
        for x in range(SIZE):
            if not inside[y][x]:
                row += '.'
                continue
            edge = any(not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE and inside[y + dy][x + dx])
                       for dx, dy in [(1, 0), (-1, 0), (0, 1), (0, -1)])
            row += 'X' if edge else 'o'
        rows.append(row)
    # The gaps between the fingers, down to the palm.
    for x, top in [(8, 7), (12, 8), (16, 10)]:
        for y in range(top, 15):
            rows[y] = rows[y][:x] + 'X' + rows[y][x + 1:]
    return rows


def square_pixels(shape):
    """'X' black, 'o' background; a 10 x 10 shape centred in the square."""
    rows = []
    for y in range(SIZE):
        row = ''
        for x in range(SIZE):
            c, r = x - 11, y - 11
            black = 0 <= c < 10 and 0 <= r < 10 and shape(c, r)
            row += 'X' if black else 'o'
        rows.append(row)
    return rows


def pack_rows(rows, bit_of):
    """1-bit rows, bottom-up, each 32 pixels in 4 bytes, most significant bit first."""
    data = b''
    for row in reversed(rows):
        value = 0
        for ch in row:
            value = (value << 1) | bit_of(ch)
        data += struct.pack('>I', value)
    return data


def image(rows, background):
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0]) + bytes([background[2], background[1], background[0], 0])
    xor = pack_rows(rows, lambda ch: 1 if ch == 'o' else 0)
    mask = pack_rows(rows, lambda ch: 1 if ch == '.' else 0)
    return header + palette + xor + mask


def resource_file(kind, rows, background, hotspot=(1, 1)):
    """kind 1 icon (hotspot holds planes and bit count), kind 2 cursor."""
    bits = image(rows, background)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, hotspot[0], hotspot[1], len(bits), 22)
    return struct.pack('<HHH', 0, kind, 1) + entry + bits


def triangle(c, r):
    return abs(r - 4.5) <= (10 - c) / 2


if __name__ == '__main__':
    with open('hand.cur', 'wb') as f:
        f.write(resource_file(2, hand_pixels(), (255, 255, 255), hotspot=(6, 0)))
    with open('play.ico', 'wb') as f:
        f.write(resource_file(1, square_pixels(triangle), (244, 244, 244)))
    with open('stop.ico', 'wb') as f:
        f.write(resource_file(1, square_pixels(lambda c, r: True), (234, 234, 234)))
