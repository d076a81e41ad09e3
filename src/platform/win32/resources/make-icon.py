#!/usr/bin/env python3
"""Writes Tamberlyn.ico: a blue "Q" at 16, 20, 24, 32, 40 and 48 pixels, 32-bit colour
with alpha: the small icon (tray, caption) and the large one at 100 % to 200 % scale.

    python3 make-icon.py [OUTPUT]

Standard library only; the shapes are sampled 8 x 8 times per pixel for smooth edges.
"""
import math
import struct
import sys

BLUE = (0x1F, 0x5F, 0xD6)  # R, G, B
SAMPLES = 8


def coverage(size, x, y):
    """How much of pixel (x, y) the letter covers, 0..1."""
    inside = 0
    centre = size / 2.0
    outer = size * 0.44
    stroke = max(size * 0.16, 2.6)
    inner = outer - stroke
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            px = x + (sx + 0.5) / SAMPLES
            py = y + (sy + 0.5) / SAMPLES
            dx, dy = px - centre, (py - centre * 0.96) * 1.06
            r = math.hypot(dx, dy)
            ring = inner <= r <= outer
            # The tail: a thick stroke from inside the ring out past its lower right.
            ax, ay = centre + size * 0.06, centre + size * 0.10
            bx, by = size * 0.97, size * 0.97
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
            tail = math.hypot(px - (ax + t * vx), py - (ay + t * vy)) <= stroke * 0.55
            if ring or tail:
                inside += 1
    return inside / (SAMPLES * SAMPLES)


def image(size):
    """A BITMAPINFOHEADER, the BGRA pixels bottom-up, and the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = [0] * (mask_row_bytes * 8)
        for x in range(size):
            alpha = round(255 * coverage(size, x, y))
            pixels += bytes((BLUE[2], BLUE[1], BLUE[0], alpha))
            bits[x] = 0 if alpha >= 128 else 1
        for i in range(mask_row_bytes):
            byte = 0
            for b in range(8):
                byte = (byte << 1) | bits[i * 8 + b]
            mask.append(byte)
    return header + bytes(pixels) + bytes(mask)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "Tamberlyn.ico"
    sizes = (16, 20, 24, 32, 40, 48)
    images = [image(size) for size in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, body in zip(sizes, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
    with open(output, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main()
