#!/usr/bin/env python3
"""Draws the six 16 x 16 RGBA pictures of the drive list into resources/.

Run it only to change the artwork; the results are committed and compiled in."""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
SIZE = 16


def png_bytes(pixels):
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for p in row:
            raw.extend(p)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def picture(shapes):
    """shapes: (inside(x, y) -> bool, (r, g, b)) painted in order, later ones on top;
    each pixel is sampled 4 x 4 times for smooth edges."""
    img = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            r = g = b = a = 0.0
            for inside, colour in shapes:
                hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4)
                           for j in range(4) for i in range(4)) / 16.0
                if hits:
                    r = colour[0] * hits + r * (1 - hits)
                    g = colour[1] * hits + g * (1 - hits)
                    b = colour[2] * hits + b * (1 - hits)
                    a = hits + a * (1 - hits)
            row.append((round(r), round(g), round(b), round(a * 255)))
        img.append(row)
    return img


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 < r * r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 < r1 * r1


GREY, LIGHT, DARK = (150, 155, 160), (215, 218, 222), (70, 74, 80)
GREEN, BLUE, ORANGE = (90, 200, 90), (80, 140, 220), (230, 150, 50)

PICTURES = {
    "gnome-dev-harddisk.png": [
        (box(1, 5, 15, 12), DARK), (box(2, 6, 14, 11), GREY),
        (box(2, 6, 14, 8), LIGHT), (disc(12, 9.5, 0.9), GREEN)],
    "drive-removable-media.png": [
        (box(4, 1, 12, 6), DARK), (box(5, 2, 11, 6), LIGHT),
        (box(2, 6, 14, 15), DARK), (box(3, 7, 13, 14), ORANGE),
        (box(6, 3, 7, 5), DARK), (box(9, 3, 10, 5), DARK)],
    "folder-remote.png": [
        (box(1, 3, 7, 5), ORANGE), (box(1, 4, 15, 12), ORANGE),
        (box(2, 6, 14, 11), (245, 200, 110)),
        (box(7.5, 12, 8.5, 14), DARK), (box(3, 14, 13, 15), DARK)],
    "gnome-dev-dvd.png": [
        (disc(8, 8, 7), DARK), (disc(8, 8, 6.2), LIGHT),
        (ring(8, 8, 3, 5), (190, 200, 230)), (disc(8, 8, 1.8), DARK),
        (disc(8, 8, 1.0), (0, 0, 0))],
    "gnome-fs-desktop.png": [
        (box(1, 2, 15, 12), DARK), (box(2, 3, 14, 11), BLUE),
        (box(7, 12, 9, 14), DARK), (box(4, 14, 12, 15), DARK)],
    "gnome-fs-home.png": [
        (lambda x, y: y >= 1.5 and y < 8 and abs(x - 8) < (y - 1.5) + 0.8, (180, 60, 50)),
        (box(3, 8, 13, 15), LIGHT), (box(7, 10, 10, 15), ORANGE)],
}


def main():
    for name, shapes in PICTURES.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png_bytes(picture(shapes)))


if __name__ == "__main__":
    main()
