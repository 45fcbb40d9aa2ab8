#!/usr/bin/env python3
"""Writes a tiny TrueType font for the icon painter tests (standard library only).

Metrics: 1000 units per em, ascent 1000, descent 250, so the line is 1.25 em tall.
Glyphs, each a filled rectangle 750 units high standing on the baseline:
  U+F111    advance 1000, box x 50..450   (first layer: left half)
  U+10F111  advance 1000, box x 550..950  (second layer: right half)
  U+F200    advance 2000, box x 0..2000   (twice as wide as tall)
  U+F201    advance 1100, box x 0..1100   (slightly wider than tall)
"""
import struct
import sys

UNITS_PER_EM = 1000
ASCENT = 1000
DESCENT = 250
BOX_TOP = 750

# (code point, advance, x min, x max); glyph 0 is the empty .notdef
GLYPHS = [
    (0xF111, 1000, 50, 450),
    (0xF200, 2000, 0, 2000),
    (0xF201, 1100, 0, 1100),
    (0x10F111, 1000, 550, 950),
]
FAMILY = "Movra Test Layers"


def rectangle_glyph(x_min, x_max):
    points = [(x_min, 0), (x_min, BOX_TOP), (x_max, BOX_TOP), (x_max, 0)]
    data = struct.pack(">hhhhh", 1, x_min, 0, x_max, BOX_TOP)
    data += struct.pack(">HH", len(points) - 1, 0)
    data += bytes([0x01] * len(points))
    previous = 0
    for x, _ in points:
        data += struct.pack(">h", x - previous)
        previous = x
    previous = 0
    for _, y in points:
        data += struct.pack(">h", y - previous)
        previous = y
    return data + b"\0" * (-len(data) % 4)


def cmap_table():
    bmp = sorted((code, index + 1) for index, (code, _, _, _) in enumerate(GLYPHS) if code <= 0xFFFF)
    # format 4: one segment per code plus the final 0xFFFF segment
    segments = [(code, code, glyph - code) for code, glyph in bmp] + [(0xFFFF, 0xFFFF, 1)]
    seg_count = len(segments)
    search = 2 ** (seg_count.bit_length() - 1)
    f4 = struct.pack(">HHHH", seg_count * 2, search * 2, search.bit_length() - 1, seg_count * 2 - search * 2)
    f4 += b"".join(struct.pack(">H", end) for _, end, _ in segments) + b"\0\0"
    f4 += b"".join(struct.pack(">H", start) for start, _, _ in segments)
    f4 += b"".join(struct.pack(">H", delta & 0xFFFF) for _, _, delta in segments)
    f4 += b"\0\0" * seg_count
    f4 = struct.pack(">HHH", 4, 6 + len(f4), 0) + f4
    groups = sorted((code, index + 1) for index, (code, _, _, _) in enumerate(GLYPHS))
    f12 = struct.pack(">HHIII", 12, 0, 16 + 12 * len(groups), 0, len(groups))
    f12 += b"".join(struct.pack(">III", code, code, glyph) for code, glyph in groups)
    header = struct.pack(">HH", 0, 2)
    offset4 = 4 + 8 * 2
    header += struct.pack(">HHI", 3, 1, offset4)
    header += struct.pack(">HHI", 3, 10, offset4 + len(f4))
    return header + f4 + f12


def name_table():
    names = {1: FAMILY, 2: "Regular", 3: FAMILY, 4: FAMILY, 5: "Version 1.0", 6: FAMILY.replace(" ", "")}
    records = b""
    strings = b""
    for name_id, text in sorted(names.items()):
        encoded = text.encode("utf-16-be")
        records += struct.pack(">HHHHHH", 3, 1, 0x409, name_id, len(encoded), len(strings))
        strings += encoded
    return struct.pack(">HHH", 0, len(names), 6 + len(records)) + records + strings


def build():
    glyphs = [b""] + [rectangle_glyph(x_min, x_max) for _, _, x_min, x_max in GLYPHS]
    advances = [(500, 0)] + [(advance, x_min) for _, advance, x_min, _ in GLYPHS]
    glyf = b"".join(glyphs)
    loca = b""
    offset = 0
    for glyph in glyphs:
        loca += struct.pack(">I", offset)
        offset += len(glyph)
    loca += struct.pack(">I", offset)
    count = len(glyphs)
    x_max_all = max(x_max for _, _, _, x_max in GLYPHS)
    tables = {
        b"head": struct.pack(">IIIIHHqqhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0x000B,
                             UNITS_PER_EM, 0, 0, 0, 0, x_max_all, BOX_TOP, 0, 8, 2, 1, 0),
        b"hhea": struct.pack(">IhhhHhhhhhhhhhhhH", 0x00010000, ASCENT, -DESCENT, 0, 2000, 0, 0,
                             x_max_all, 1, 0, 0, 0, 0, 0, 0, 0, count),
        b"maxp": struct.pack(">IHHHHHHHHHHHHHH", 0x00010000, count, 4, 1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0),
        b"OS/2": struct.pack(">HhHHHhhhhhhhhhhh10sIIII4sHHHhhhHHIIhhHHH", 4, 1000, 900, 5, 0,
                             650, 700, 0, 140, 650, 700, 0, 480, 50, 250, 0, b"\0" * 10, 0, 0, 0, 0,
                             b"MOVR", 0x40, 0xF111, 0xFFFF, ASCENT, -DESCENT, 0, ASCENT, DESCENT,
                             1, 0, 500, 750, 0, 32, 1),
        b"hmtx": b"".join(struct.pack(">Hh", advance, lsb) for advance, lsb in advances),
        b"cmap": cmap_table(),
        b"loca": loca,
        b"glyf": glyf,
        b"name": name_table(),
        b"post": struct.pack(">IIhhIIIII", 0x00030000, 0, -100, 50, 1, 0, 0, 0, 0),
    }
    tags = sorted(tables)
    search = 2 ** (len(tags).bit_length() - 1)
    font = struct.pack(">IHHHH", 0x00010000, len(tags), search * 16, search.bit_length() - 1,
                       len(tags) * 16 - search * 16)
    offset = 12 + 16 * len(tags)
    body = b""
    for tag in tags:
        data = tables[tag]
        padded = data + b"\0" * (-len(data) % 4)
        checksum = sum(struct.unpack(">%dI" % (len(padded) // 4), padded)) & 0xFFFFFFFF
        font += struct.pack(">4sIII", tag, checksum, offset + len(body), len(data))
        body += padded
    return font + body


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(build())
