#!/usr/bin/env python3
"""Draws the program's own images (flags, logo, style-sheet images) as PNG.

Standard library only. Run from the repository root:
    python3 resources/tools/make_images.py
The PNG files are committed; run this again only to change them.
"""
import math
import os
import struct
import zlib

SAMPLES = 4  # supersampling per axis

BACKGROUND = (0x30, 0x2F, 0x2F)
BORDER = (0x40, 0x3F, 0x3F)
TEXT = (0xF0, 0xF0, 0xF0)
DISABLED = (0x78, 0x78, 0x78)
SELECTION = (0x33, 0x75, 0xA3)
HOVER = (0x17, 0x9A, 0xE0)
BLUE = (0x4E, 0x9C, 0xCF)


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def _cover(self, inside, colour, alpha=1.0):
        step = 1.0 / SAMPLES
        for y in range(self.height):
            for x in range(self.width):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self._blend(x, y, colour, alpha * hits / (SAMPLES * SAMPLES))

    def _blend(self, x, y, colour, alpha):
        pixel = self.pixels[y * self.width + x]
        out_alpha = alpha + pixel[3] * (1 - alpha)
        for i in range(3):
            pixel[i] = (colour[i] * alpha + pixel[i] * pixel[3] * (1 - alpha)) / out_alpha
        pixel[3] = out_alpha

    def polygon(self, points, colour, alpha=1.0):
        def inside(px, py):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        self._cover(inside, colour, alpha)

    def rect(self, x0, y0, x1, y1, colour, alpha=1.0):
        self._cover(lambda px, py: x0 <= px < x1 and y0 <= py < y1, colour, alpha)

    def circle(self, cx, cy, radius, colour, alpha=1.0):
        self._cover(lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius, colour, alpha)

    def ring(self, cx, cy, outer, inner, colour):
        self._cover(lambda px, py: inner * inner < (px - cx) ** 2 + (py - cy) ** 2 <= outer * outer, colour)

    def line(self, points, width, colour):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            length = math.hypot(x1 - x0, y1 - y0)
            nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
            self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)
            self.circle(x1, y1, width / 2, colour)
        self.circle(points[0][0], points[0][1], width / 2, colour)

    def save(self, path):
        raw = b""
        for y in range(self.height):
            raw += b"\0"
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                raw += bytes([round(r), round(g), round(b), round(a * 255)])

        def chunk(tag, data):
            return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))

        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(png)


def english_flag(path):
    canvas = Canvas(24, 16)
    red, white, blue = (178, 34, 52), (255, 255, 255), (60, 59, 110)
    for stripe in range(8):
        canvas.rect(0, stripe * 2, 24, stripe * 2 + 2, red if stripe % 2 == 0 else white)
    canvas.rect(0, 0, 11, 8, blue)
    for row in range(3):
        for column in range(4):
            canvas.circle(1.6 + column * 2.6 + (row % 2) * 1.3, 1.5 + row * 2.5, 0.55, white)
    canvas.save(path)


def french_flag(path):
    canvas = Canvas(24, 16)
    red, white = (216, 6, 33), (255, 255, 255)
    canvas.rect(0, 2, 6, 14, red)
    canvas.rect(6, 2, 18, 14, white)
    canvas.rect(18, 2, 24, 14, red)
    leaf = [(12, 3.2), (13, 5.2), (14.6, 4.6), (14.2, 7.2), (16.2, 6.6), (15.6, 8.6), (16.4, 9.2), (13.4, 10.8),
            (12.4, 10.6), (12.4, 12.8), (11.6, 12.8), (11.6, 10.6), (10.6, 10.8), (7.6, 9.2), (8.4, 8.6),
            (7.8, 6.6), (9.8, 7.2), (9.4, 4.6), (11, 5.2)]
    canvas.polygon(leaf, red)
    canvas.save(path)


def logo(path):
    canvas = Canvas(120, 40)
    # Three light rays rising from a base: the maker's light sources.
    canvas.line([(8, 32), (20, 10), (32, 32), (44, 10), (56, 32)], 5, BLUE)
    canvas.circle(20, 8, 3.5, TEXT)
    canvas.circle(44, 8, 3.5, TEXT)
    canvas.rect(66, 14, 116, 18, TEXT)
    canvas.rect(66, 22, 104, 26, BLUE)
    canvas.rect(66, 30, 92, 34, DISABLED)
    canvas.save(path)


def style_images(folder):
    def save(canvas, name):
        canvas.save(os.path.join(folder, name))

    for suffix, colour in (("", TEXT), ("_disabled", DISABLED), ("_focus", HOVER)):
        box = Canvas(16, 16)
        box.rect(1, 1, 15, 15, colour)
        box.rect(2, 2, 14, 14, BACKGROUND)
        save(box, "checkbox_unchecked%s.png" % suffix)
        box.line([(4.5, 8.5), (7, 11), (11.5, 5)], 2, colour)
        save(box, "checkbox_checked%s.png" % suffix)
        box = Canvas(16, 16)
        box.rect(1, 1, 15, 15, colour)
        box.rect(2, 2, 14, 14, BACKGROUND)
        box.rect(4, 7, 12, 9, colour)
        save(box, "checkbox_indeterminate%s.png" % suffix)
        radio = Canvas(16, 16)
        radio.ring(8, 8, 7, 6, colour)
        save(radio, "radio_unchecked%s.png" % suffix)
        radio.circle(8, 8, 3.5, colour)
        save(radio, "radio_checked%s.png" % suffix)

    arrows = {
        "up_arrow": [(2, 9), (5, 4), (8, 9)],
        "down_arrow": [(2, 3), (5, 8), (8, 3)],
        "left_arrow": [(7, 2), (3, 6), (7, 10)],
        "right_arrow": [(3, 2), (7, 6), (3, 10)],
    }
    for name, points in arrows.items():
        for suffix, colour in (("", TEXT), ("_disabled", DISABLED)):
            arrow = Canvas(10, 12) if name in ("left_arrow", "right_arrow") else Canvas(10, 12)
            arrow.line(points, 1.6, colour)
            save(arrow, "%s%s.png" % (name, suffix))

    for suffix, colour in (("", DISABLED), ("-on", TEXT)):
        closed = Canvas(9, 9)
        closed.polygon([(2, 1), (7, 4.5), (2, 8)], colour)
        save(closed, "branch_closed%s.png" % suffix)
        opened = Canvas(9, 9)
        opened.polygon([(1, 2), (8, 2), (4.5, 7)], colour)
        save(opened, "branch_open%s.png" % suffix)

    vline = Canvas(1, 10)
    vline.rect(0, 0, 1, 10, BORDER)
    save(vline, "vline.png")
    for name, (width, height) in (("Hsepartoolbar.png", (8, 24)), ("Vsepartoolbar.png", (24, 8))):
        separator = Canvas(width, height)
        if width < height:
            separator.rect(3, 2, 5, height - 2, BORDER)
        else:
            separator.rect(2, 3, width - 2, 5, BORDER)
        save(separator, name)
    grip = Canvas(12, 12)
    for offset in (3, 6, 9):
        grip.line([(offset, 11), (11, offset)], 1, DISABLED)
    save(grip, "sizegrip.png")
    for suffix, colour in (("", TEXT), ("-hover", HOVER), ("-pressed", SELECTION)):
        close = Canvas(12, 12)
        close.line([(3, 3), (9, 9)], 1.8, colour)
        close.line([(9, 3), (3, 9)], 1.8, colour)
        save(close, "close%s.png" % suffix)


if __name__ == "__main__":
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    english_flag(os.path.join(root, "images", "english.png"))
    french_flag(os.path.join(root, "images", "french.png"))
    logo(os.path.join(root, "images", "movraLogo.png"))
    style_images(os.path.join(root, "qdarkstyle", "rc"))
