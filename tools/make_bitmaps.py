#!/usr/bin/env python3
"""Draw DARVEX's event type bitmaps and its program icon.

Usage: make_bitmaps.py OUTPUT_DIR

Writes into OUTPUT_DIR:
  info_normal.bmp, info_selected.bmp        (700, 701)
  warning_normal.bmp, warning_selected.bmp  (702, 703)
  error_normal.bmp, error_selected.bmp      (704, 705)
  icon_mask.bmp                             (706)
  DARVEX.ico                                (32 x 32 and 16 x 16, 32 bits)

The type bitmaps are 23 x 23, 4 bits per pixel, with the 16-colour VGA
palette. A normal row draws the mask with SRCAND and then the icon with
SRCPAINT, so the mask is a black disc on white and the normal icon is the
disc on black; a selected row copies its icon as it is, so the selected
icon is the disc on navy, the selected row's background.

A row shows only the top-left h x h pixels of the bitmap (h is the row
height, 19 with the usual system font), so the disc sits in the top-left
corner rather than in the middle of the 23 x 23 cell.

The output depends only on this script: running it twice gives identical
files, so the build can regenerate them whenever it likes.
"""

import math
import os
import struct
import sys

SIZE = 23

# The 16-colour VGA palette in the order Windows uses for 4-bit bitmaps.
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 maroon
    (0x00, 0x80, 0x00),  # 2 green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 fuchsia
    (0x00, 0xFF, 0xFF),  # 14 aqua
    (0xFF, 0xFF, 0xFF),  # 15 white
]
BLACK, MAROON, OLIVE, NAVY, GREY = 0, 1, 3, 4, 8
SILVER, RED, YELLOW, BLUE, WHITE = 7, 9, 11, 12, 15

# The disc covers pixels 1 to 16 in both directions; its centre lies between
# pixels 8 and 9, so two-pixel glyph strokes on columns 8 and 9 are centred.
DISC_CENTRE = 9.0
DISC_RADIUS = 8.0
SUPERSAMPLE = 4


def disc_coverage(x, y):
    """Fraction of pixel (x, y) inside the disc."""
    inside = 0
    for sy in range(SUPERSAMPLE):
        for sx in range(SUPERSAMPLE):
            px = x + (sx + 0.5) / SUPERSAMPLE - DISC_CENTRE
            py = y + (sy + 0.5) / SUPERSAMPLE - DISC_CENTRE
            if px * px + py * py <= DISC_RADIUS * DISC_RADIUS:
                inside += 1
    return inside / (SUPERSAMPLE * SUPERSAMPLE)


def disc_pixels():
    """The set of pixels that belong to the disc (at least half covered)."""
    return {(x, y) for y in range(SIZE) for x in range(SIZE)
            if disc_coverage(x, y) >= 0.5}


def rim_pixels(disc):
    """Disc pixels with a 4-neighbour outside the disc: the dark outline."""
    rim = set()
    for (x, y) in disc:
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            if (x + dx, y + dy) not in disc:
                rim.add((x, y))
                break
    return rim


def glyph_from_rows(rows, top):
    """Pixels of a glyph given as text rows ('#' set) starting at row top."""
    pixels = set()
    for dy, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == "#":
                pixels.add((x, top + dy))
    return pixels


# Glyphs on the 23-pixel grid; column 0 is the bitmap's left edge.
LETTER_I = glyph_from_rows([
    "        ##",
    "        ##",
    "",
    "       ###",
    "        ##",
    "        ##",
    "        ##",
    "        ##",
    "        ##",
    "        ##",
    "       ####",
], 3)

EXCLAMATION = glyph_from_rows([
    "       ####",
    "       ####",
    "       ####",
    "        ##",
    "        ##",
    "        ##",
    "        ##",
    "",
    "",
    "        ##",
    "        ##",
], 3)


CROSS = glyph_from_rows([
    "    ##......##",
    "     ##....##",
    "      ##..##",
    "       ####",
    "        ##",
    "        ##",
    "       ####",
    "      ##..##",
    "     ##....##",
    "    ##......##",
], 4)

# (file stem, disc colour, rim colour, glyph, glyph colour)
KINDS = [
    ("info", BLUE, NAVY, LETTER_I, WHITE),
    ("warning", YELLOW, OLIVE, EXCLAMATION, BLACK),
    ("error", RED, MAROON, CROSS, WHITE),
]


def draw_icon(background, fill, rim_colour, glyph, glyph_colour):
    disc = disc_pixels()
    rim = rim_pixels(disc)
    image = [[background] * SIZE for _ in range(SIZE)]
    for (x, y) in disc:
        image[y][x] = rim_colour if (x, y) in rim else fill
    for (x, y) in glyph:
        if (x, y) in disc and (x, y) not in rim:
            image[y][x] = glyph_colour
    return image


def draw_mask():
    disc = disc_pixels()
    return [[BLACK if (x, y) in disc else WHITE for x in range(SIZE)]
            for y in range(SIZE)]


def bmp_4bpp(image):
    """A 4-bit BMP file (BITMAPINFOHEADER, 16-colour palette, bottom-up)."""
    height = len(image)
    width = len(image[0])
    stride = ((width * 4 + 31) // 32) * 4
    rows = []
    for row in reversed(image):
        packed = bytearray(stride)
        for x, index in enumerate(row):
            if x % 2 == 0:
                packed[x // 2] |= index << 4
            else:
                packed[x // 2] |= index
        rows.append(bytes(packed))
    pixels = b"".join(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0,
                       len(pixels), 2835, 2835, 16, 16)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


# ---------------------------------------------------------------------------
# Program icon: a white log sheet listing three events, an Error, a Warning
# and an Information disc, each followed by a grey text line.
# ---------------------------------------------------------------------------

EVENT_COLOURS = [  # (fill, rim) of the Error, Warning and Information discs
    ((0xFF, 0x00, 0x00), (0x80, 0x00, 0x00)),
    ((0xFF, 0xD8, 0x00), (0x80, 0x70, 0x00)),
    ((0x10, 0x40, 0xFF), (0x00, 0x00, 0x80)),
]
SHEET_BORDER = (0x60, 0x60, 0x60)
SHEET = (0xFF, 0xFF, 0xFF)
HEADER_BAND = (0xC8, 0xD0, 0xE0)
TEXT_LINE = (0x70, 0x70, 0x70)


def icon_shapes(size):
    """Drawing list for one icon size, in pixels; later shapes paint over."""
    if size >= 32:
        sheet = (3, 1, 29, 31)
        band_bottom = 7
        rows = (11.5, 18.5, 25.5)
        disc_x, rim_r, fill_r = 9.5, 3.2, 2.4
        line_left, line_right, line_half = 14, 25, 1.0
    else:
        sheet = (1, 0, 15, 16)
        band_bottom = 4
        rows = (6.5, 9.5, 12.5)
        disc_x, rim_r, fill_r = 4.5, 1.6, 1.6
        line_left, line_right, line_half = 7, 13, 0.5
    left, top, right, bottom = sheet
    shapes = [
        ("rect", left, top, right, bottom, SHEET_BORDER),
        ("rect", left + 1, top + 1, right - 1, bottom - 1, SHEET),
        ("rect", left + 1, top + 1, right - 1, band_bottom, HEADER_BAND),
    ]
    for cy, (fill, rim) in zip(rows, EVENT_COLOURS):
        shapes.append(("disc", disc_x, cy, rim_r, rim))
        shapes.append(("disc", disc_x, cy, fill_r, fill))
        shapes.append(("rect", line_left, cy - line_half, line_right,
                       cy + line_half, TEXT_LINE))
    return shapes


def shape_covers(shape, x, y):
    kind = shape[0]
    if kind == "rect":
        _, left, top, right, bottom, _ = shape
        return left <= x < right and top <= y < bottom
    _, cx, cy, r, _ = shape
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def render_icon(size):
    """32-bit BGRA pixels, top-down, with straight alpha."""
    shapes = icon_shapes(size)
    n = 8
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    px = x + (sx + 0.5) / n
                    py = y + (sy + 0.5) / n
                    colour = None
                    for shape in shapes:
                        if shape_covers(shape, px, py):
                            colour = shape[-1]
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if covered:
                r, g, b = (int(round(c / covered)) for c in acc)
                a = int(round(255.0 * covered / (n * n)))
            else:
                r = g = b = a = 0
            row.append((r, g, b, a))
        pixels.append(row)
    return pixels


def ico_image(pixels):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    size = len(pixels)
    colour = bytearray()
    for row in reversed(pixels):
        for (r, g, b, a) in row:
            colour += struct.pack("<BBBB", b, g, r, a)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        packed = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                packed[x // 8] |= 0x80 >> (x % 8)
        mask += packed
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                       len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def ico_file(sizes):
    images = [(size, ico_image(render_icon(size))) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                               len(data), offset)
        offset += len(data)
    return out + entries + b"".join(data for _, data in images)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_bitmaps.py OUTPUT_DIR\n")
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for stem, fill, rim, glyph, glyph_colour in KINDS:
        write(os.path.join(out_dir, stem + "_normal.bmp"),
              bmp_4bpp(draw_icon(BLACK, fill, rim, glyph, glyph_colour)))
        write(os.path.join(out_dir, stem + "_selected.bmp"),
              bmp_4bpp(draw_icon(NAVY, fill, rim, glyph, glyph_colour)))
    write(os.path.join(out_dir, "icon_mask.bmp"), bmp_4bpp(draw_mask()))
    write(os.path.join(out_dir, "DARVEX.ico"), ico_file([32, 16]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
