#!/usr/bin/env python3
"""Draws the widget's skin: two keys, brass and steel, hanging on a steel ring.

Writes resources/skin.bmp, an 85 x 85 picture, 24 bits per pixel. Everything
around the drawing is pure red, the colour the widget cuts away; every drawn
pixel is decided at its centre (hard edges, no blending into the red) and no
drawn pixel is pure red. Each part has a one-pixel dark outline so that the
light metal reads on a light desktop and the outline itself on a dark one.

    python3 resources/art/make_skin.py [preview.png]

With a file name it also writes a preview scaled up eight times (needs
ImageMagick's convert), on a light and on a dark background.
"""
import math
import os
import struct
import subprocess
import sys
import tempfile

SIZE = 85
KEY = (255, 0, 0)
OUTLINE = (24, 22, 26)
LIGHT = (-0.6, -0.8)  # light falls from the upper left

BRASS = ((255, 232, 150), (226, 176, 70), (140, 96, 28))
STEEL = ((246, 249, 252), (186, 196, 208), (96, 106, 122))
RING = ((232, 236, 242), (160, 170, 184), (80, 88, 102))

RING_CENTRE = (38.5, 21.5)
RING_RADIUS = 14.0
RING_HALF_WIDTH = 2.8


# Signed distances: negative inside, in pixels.
def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def box(px, py, x0, y0, x1, y1):
    """Axis-aligned box in a key's own coordinates."""
    dx = max(x0 - px, px - x1)
    dy = max(y0 - py, py - y1)
    if dx <= 0 and dy <= 0:
        return max(dx, dy)
    return math.hypot(max(dx, 0), max(dy, 0))


def ring(px, py):
    return abs(math.hypot(px - RING_CENTRE[0], py - RING_CENTRE[1]) - RING_RADIUS) - RING_HALF_WIDTH


def on_ring(angle_degrees):
    a = math.radians(angle_degrees)
    return (RING_CENTRE[0] + RING_RADIUS * math.cos(a), RING_CENTRE[1] + RING_RADIUS * math.sin(a))


class Key:
    """A key whose bow hole sits on the ring, its blade pointing along `angle`."""

    def __init__(self, ring_angle, angle, length, bow_radius, palette):
        self.origin = on_ring(ring_angle)
        self.ring_angle = ring_angle
        a = math.radians(angle)
        self.c, self.s = math.cos(a), math.sin(a)
        self.length = length
        self.bow = bow_radius
        self.palette = palette

    def local(self, px, py):
        dx, dy = px - self.origin[0], py - self.origin[1]
        return dx * self.c + dy * self.s, -dx * self.s + dy * self.c

    def distance(self, px, py):
        u, v = self.local(px, py)
        bow = max(circle(u, v, 0, 0, self.bow), -circle(u, v, 0, 0, 3.6))
        collar = box(u, v, self.bow - 1.5, -4.4, self.bow + 3.5, 4.4)
        blade = box(u, v, self.bow, -2.9, self.length - 1.0, 2.9)
        tip = circle(u, v, self.length - 2.9, 0, 2.9)
        end = self.length - 3.0
        bit = box(u, v, end - 12.5, 1.5, end - 0.5, 9.5)
        notch1 = box(u, v, end - 9.0, 5.5, end - 6.0, 10.0)
        notch2 = box(u, v, end - 3.5, 7.0, end + 1.0, 10.0)
        bit = max(bit, -notch1, -notch2)
        return min(bow, collar, blade, tip, bit)


def gradient(d, tone):
    # d in 0..1 across the palette: light, mid, dark.
    light, mid, dark = tone
    if d < 0.5:
        t, a, b = d / 0.5, light, mid
    else:
        t, a, b = (d - 0.5) / 0.5, mid, dark
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def shade(field, palette, px, py):
    """Outline at the edge, a bevel lit from the upper left inside it."""
    d = field(px, py)
    if d > -1.0:
        return OUTLINE
    e = 0.35
    nx = field(px + e, py) - field(px - e, py)
    ny = field(px, py + e) - field(px, py - e)
    n = math.hypot(nx, ny) or 1.0
    facing = (nx * LIGHT[0] + ny * LIGHT[1]) / n  # 1: the edge faces away from the light
    depth = min(1.0, (-d - 1.0) / 2.2)  # 0 at the outline, 1 well inside
    tone = 0.5 + 0.42 * facing * (1.0 - 0.55 * depth)
    tone += 0.12 * ((px - 42) * 0.6 + (py - 42) * 0.8) / 60  # a soft fall-off across the picture
    return gradient(min(1.0, max(0.0, tone)), palette)


def draw():
    keys = [Key(124, 102, 48, 8.6, STEEL), Key(54, 60, 50, 9.4, BRASS)]
    pixels = [[KEY] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            px, py = x + 0.5, y + 0.5
            colour = None
            if ring(px, py) < 0:
                colour = shade(ring, RING, px, py)
            for key in keys:
                if key.distance(px, py) < 0:
                    colour = shade(key.distance, key.palette, px, py)
            # The ring runs in front of each bow on the near side of its hole.
            angle = math.degrees(math.atan2(py - RING_CENTRE[1], px - RING_CENTRE[0])) % 360
            for key in keys:
                if key.ring_angle - 26 < angle < key.ring_angle - 4 and ring(px, py) < 0:
                    colour = shade(ring, RING, px, py)
            if colour is not None:
                pixels[y][x] = colour if colour != KEY else (254, 0, 0)
    return pixels


def write_bmp(path, pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        image += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + image)


def write_preview(bmp, png):
    with tempfile.TemporaryDirectory() as tmp:
        tiles = []
        for name, colour in (("light", "#f2f2ee"), ("dark", "#1c2430")):
            tile = os.path.join(tmp, name + ".png")
            subprocess.run(["convert", bmp, "-fill", colour, "-opaque", "#ff0000", "-scale", "800%", tile], check=True)
            tiles.append(tile)
        subprocess.run(["convert", *tiles, "+append", png], check=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    bmp = os.path.join(here, "..", "skin.bmp")
    pixels = draw()
    write_bmp(bmp, pixels)
    opaque = sum(1 for row in pixels for p in row if p != KEY)
    print(f"skin.bmp: {opaque} opaque pixels of {SIZE * SIZE}")
    if len(sys.argv) > 1:
        write_preview(bmp, sys.argv[1])


if __name__ == "__main__":
    main()
