#!/usr/bin/env python3
"""Draws the program's icons (100 to 109) and synthesises the fault alarm (WAVE 10).

Usage: gen_assets.py OUTPUT_DIR
Icons: a GPU chip with a thermometer, one colour per icon of the family.
Alarm: RIFF/WAVE, PCM mono 11025 Hz 8 bits, 5876 bytes in all: a falling two-tone beep.
"""
import math
import os
import struct
import sys

# (chip colour, mercury colour) per icon id 100..109
PALETTE = [
    ((40, 120, 60), (220, 40, 40)),
    ((40, 120, 60), (220, 40, 40)),
    ((40, 120, 60), (220, 40, 40)),
    ((50, 90, 160), (220, 40, 40)),
    ((90, 90, 100), (230, 120, 30)),
    ((90, 90, 100), (230, 120, 30)),
    ((120, 60, 150), (220, 40, 40)),
    ((150, 110, 30), (220, 40, 40)),
    ((200, 60, 40), (250, 200, 40)),
    ((30, 30, 30), (220, 40, 40)),
]


def draw(size, chip, mercury):
    """Returns rows (top first) of BGRA pixels."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 16.0

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour + (255,)

    pin = (200, 200, 200)
    for i in range(4):  # pins on all sides of the chip
        rect(1, 3 + 2.5 * i, 3, 4 + 2.5 * i, pin)
        rect(11, 3 + 2.5 * i, 13, 4 + 2.5 * i, pin)
        rect(3.5 + 2.2 * i, 0.5, 4.5 + 2.2 * i, 2.5, pin)
        rect(3.5 + 2.2 * i, 13.5, 4.5 + 2.2 * i, 15.5, pin)
    rect(2.5, 2, 11.5, 14, (20, 20, 20))
    rect(3, 2.5, 11, 13.5, chip)
    rect(4.5, 4, 9.5, 12, tuple(min(255, c + 60) for c in chip))
    # thermometer on the right edge
    rect(12, 1, 15, 13, (240, 240, 240))
    rect(13, 5, 14, 13, mercury)
    cx, cy, r = 13.5 * s, 13.5 * s, 2.2 * s
    for y in range(size):
        for x in range(size):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                px[y][x] = mercury + (255,)
    return [[(b, g, r_, a) for (r_, g, b, a) in row] for row in px]


def icon_image(size, chip, mercury):
    rows = draw(size, chip, mercury)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(c for p in row for c in p) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    return header + xor + bytes(and_mask)


# The large image comes first: a control that shows an icon at its real size takes the first one.
ICON_SIZES = (32, 16)


def write_icon(path, chip, mercury):
    images = [icon_image(n, chip, mercury) for n in ICON_SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(ICON_SIZES, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def write_alarm(path):
    total = 5876
    data_size = total - 44
    rate = 11025
    samples = bytearray()
    for i in range(data_size):
        t = i / rate
        freq = 1568.0 if (i // (data_size // 4)) % 2 == 0 else 1175.0
        envelope = min(1.0, i / 200.0, (data_size - i) / 200.0)
        samples.append(int(128 + 100 * envelope * math.sin(2 * math.pi * freq * t)))
    header = b"RIFF" + struct.pack("<I", total - 8) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, rate, rate, 1, 8)
    header += b"data" + struct.pack("<I", data_size)
    with open(path, "wb") as f:
        f.write(header + bytes(samples))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for i, (chip, mercury) in enumerate(PALETTE):
        write_icon(os.path.join(out, "icon%d.ico" % (100 + i)), chip, mercury)
    write_alarm(os.path.join(out, "alarm.wav"))


if __name__ == "__main__":
    main()
