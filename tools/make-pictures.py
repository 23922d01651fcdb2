#!/usr/bin/env python3
"""Draws the program's own pictures into resources/: the toolbar buttons, the two icon
files written at start-up, the window icon and the About picture (raw RGBA).

Run it only to change the artwork; the results are committed and compiled in."""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")


def png_bytes(width, height, pixels, channels):
    """pixels: rows of tuples with `channels` bytes each (4 RGBA, 2 grey+alpha)."""
    colour_type = {4: 6, 2: 4}[channels]
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for p in row:
            raw.extend(p)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def canvas(w, h, fill=(0, 0, 0, 0)):
    return [[fill for _ in range(w)] for _ in range(h)]


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def coverage(inside, x, y, n=4):
    """Fraction of an n x n supersampled pixel for which inside(px, py) holds."""
    hits = 0
    for j in range(n):
        for i in range(n):
            if inside(x + (i + 0.5) / n, y + (j + 0.5) / n):
                hits += 1
    return hits / (n * n)


def paint(img, inside, colour):
    h, w = len(img), len(img[0])
    for y in range(h):
        for x in range(w):
            c = coverage(inside, x, y)
            if c > 0:
                r, g, b = colour
                a0 = img[y][x][3] / 255.0
                a = c + a0 * (1 - c)
                if a <= 0:
                    continue
                old = img[y][x]
                mix = [round((colour[k] * c + old[k] * a0 * (1 - c)) / a) for k in range(3)]
                img[y][x] = (mix[0], mix[1], mix[2], round(a * 255))


def arrow(direction):
    """An inside-test for a 16 x 16 arrow pointing left, right or up."""
    def left(px, py):
        if px < 2.5 or px > 14 or py < 1.5 or py > 14.5:
            return False
        head = px < 8.5 and abs(py - 8) < (px - 2.5) * 1.05 + 0.3
        shaft = px >= 8 and abs(py - 8) < 2.2
        return head or shaft

    if direction == "left":
        return left
    if direction == "right":
        return lambda px, py: left(16 - px, py)
    return lambda px, py: left(py, px)   # up: the left arrow mirrored on the diagonal


def refresh(px, py):
    dx, dy = px - 8, py - 8.5
    r = math.hypot(dx, dy)
    angle = math.degrees(math.atan2(dy, dx)) % 360
    ring = 3.6 < r < 6.0 and not (290 < angle < 350)
    # The arrow head at the open end of the ring, pointing clockwise.
    hx, hy = px - 12.2, py - 3.0
    head = hx < 2.8 and hy < 2.8 and hx + hy > -1.2 and hx > -3.5 and hy > -3.5
    return ring or head


def toolbar_pictures():
    active, inactive = (235, 235, 235), (110, 110, 110)
    shapes = {"back": arrow("left"), "forward": arrow("right"), "up": arrow("up"),
              "refresh": refresh}
    for name, shape in shapes.items():
        img = canvas(16, 16)
        paint(img, shape, active)
        write("toolbar-%s.png" % name, png_bytes(16, 16, img, 4))
        img = canvas(16, 16)
        paint(img, shape, inactive)
        if name == "up":
            grey = [[(p[0], p[3]) for p in row] for row in img]
            write("toolbar-up-inactive.png", png_bytes(16, 16, grey, 2))
        else:
            write("toolbar-%s-inactive.png" % name, png_bytes(16, 16, img, 4))


def folder_icon():
    img = canvas(16, 16)
    paint(img, lambda x, y: 1 < x < 7 and 2.5 < y < 5, (196, 150, 40))
    paint(img, lambda x, y: 1 < x < 15 and 4 < y < 14, (232, 184, 64))
    paint(img, lambda x, y: 1 < x < 15 and 6 < y < 14 and (y < 7 or x < 2 or x > 14 or y > 13),
          (196, 150, 40))
    write("folder.png", png_bytes(16, 16, img, 4))


def generic_image_icon():
    img = canvas(64, 64)
    paint(img, lambda x, y: 4 < x < 60 and 10 < y < 54, (230, 230, 230))
    paint(img, lambda x, y: 8 < x < 56 and 14 < y < 50, (90, 140, 210))
    paint(img, lambda x, y: math.hypot(x - 44, y - 24) < 5, (250, 220, 90))
    paint(img, lambda x, y: 8 < x < 56 and 14 < y < 50 and y > 50 - 0.9 * (22 - abs(x - 24)),
          (70, 130, 70))
    write("image-x-generic.png", png_bytes(64, 64, img, 4))


def window_icon():
    size = 48
    img = canvas(size, size)
    paint(img, lambda x, y: math.hypot(x - 24, y - 24) < 22, (30, 30, 40))
    # Three overlapping discs: a dark, a middle and a bright exposure.
    for i, colour in enumerate([(70, 90, 160), (140, 170, 230), (250, 240, 200)]):
        cx = 15 + 9 * i
        paint(img, lambda x, y, cx=cx: math.hypot(x - cx, y - 24) < 8, colour)
    write("veltrum-icon.png", png_bytes(size, size, img, 4))


# 5 x 7 glyphs for the About picture's title.
GLYPHS = {
    "v": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "e": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "l": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "t": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "r": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "u": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "m": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
}


def about_picture():
    w, h = 420, 315
    data = bytearray()
    for y in range(h):
        for x in range(w):
            # A sky running from deep blue to a warm horizon, over a dark ground.
            t = y / (h - 1)
            sun = math.exp(-((x - 300) ** 2 + (y - 190) ** 2) / 900.0)
            if y < 200:
                r = 20 + 200 * t + 35 * sun
                g = 30 + 110 * t + 30 * sun
                b = 90 + 40 * t
            else:
                r, g, b = 25, 22, 30
            data.extend((min(255, int(r)), min(255, int(g)), min(255, int(b)), 255))
    # The name in large block letters.
    scale, x0, y0 = 8, 70, 60
    for i, ch in enumerate("veltrum"):
        for gy, line in enumerate(GLYPHS[ch]):
            for gx, bit in enumerate(line):
                if bit != "1":
                    continue
                for yy in range(scale):
                    for xx in range(scale):
                        px = x0 + i * 6 * scale + gx * scale + xx
                        py = y0 + gy * scale + yy
                        k = 4 * (py * w + px)
                        data[k:k + 4] = bytes((245, 245, 250, 255))
    write("about.rgba", bytes(data))


if __name__ == "__main__":
    toolbar_pictures()
    folder_icon()
    generic_image_icon()
    window_icon()
    about_picture()
