#!/usr/bin/env python3
"""Draws Pixelnab's artwork and writes it to res/art/.

Run from anywhere: python3 tools/make_art.py

Writes:
  toolbar.bmp  12 toolbar images of 16 x 16 in one 192 x 16 strip, 8 bits per
               pixel; silver (192, 192, 192) is the image list's mask colour.
  main.ico     frame icon: a monitor with a selection marquee (32 and 16 px).
  nabbet.ico   document icon: a framed landscape snapshot with the sun high.
  about1.ico   the same snapshot with the sun just above the hills; the About
               box alternates it with nabbet.ico so the sun rises and sets.
  drag.cur     window picker's drag cursor: a hand holding up a framed box
               whose centre dot is the hot spot (13, 9).

Only the standard library is used, so the artwork can be rebuilt on any
machine with Python 3. Pictures are pixel grids: one character per pixel,
with the colour keys below, so each image can be read and edited as text.
"""

import os
import struct
import sys

# The 16 colours of the standard VGA palette, in their usual index order.
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Pixel keys for the VGA colours. '.' is transparent (in icons) or the mask
# colour silver (in the toolbar).
VGA_KEYS = {
    'K': 0,   # black
    'R': 1,   # maroon
    'G': 2,   # green
    'O': 3,   # olive
    'N': 4,   # navy
    'P': 5,   # purple
    'T': 6,   # teal
    'S': 7,   # silver
    'D': 8,   # dark grey
    'r': 9,   # red
    'g': 10,  # lime
    'y': 11,  # yellow
    'b': 12,  # blue
    'm': 13,  # magenta
    'c': 14,  # cyan
    'W': 15,  # white
}

SILVER = 7

# The toolbar has 256 colours, so it gets a few shades that the VGA set lacks.
# They follow the VGA colours in its palette.
TOOLBAR_EXTRA = [
    ('L', (0xE0, 0xE0, 0xE0)),  # light grey (paper shadow, faded window)
    ('B', (0xA0, 0x60, 0x20)),  # wood brown (clipboard, door)
    ('n', (0x60, 0x38, 0x10)),  # dark brown (edges of wood)
    ('l', (0xFF, 0xFF, 0xA0)),  # pale yellow (lit folder front)
    ('a', (0x40, 0x80, 0xFF)),  # light blue (title bar gradient)
]


# --------------------------------------------------------------------------
# Pixel grids

class Grid:
    """A width x height picture of colour keys, '.' where nothing is drawn."""

    def __init__(self, width, height, rows=None):
        self.width = width
        self.height = height
        if rows is None:
            rows = ['.' * width] * height
        if len(rows) != height:
            raise ValueError(f'expected {height} rows, got {len(rows)}')
        for y, row in enumerate(rows):
            if len(row) != width:
                raise ValueError(f'row {y} has {len(row)} pixels, expected {width}: {row!r}')
        self.cells = [list(row) for row in rows]

    def get(self, x, y):
        return self.cells[y][x]

    def plot(self, x, y, key):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.cells[y][x] = key

    def fill(self, x0, y0, x1, y1, key):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.plot(x, y, key)

    def frame(self, x0, y0, x1, y1, key):
        """Draws the one-pixel outline of a rectangle, corners inclusive."""
        for x in range(x0, x1 + 1):
            self.plot(x, y0, key)
            self.plot(x, y1, key)
        for y in range(y0, y1 + 1):
            self.plot(x0, y, key)
            self.plot(x1, y, key)

    def line(self, x0, y0, x1, y1, key):
        """Bresenham line, both ends inclusive."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.plot(x0, y0, key)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, radius, key, outline=None):
        """A filled circle; with outline, its rim is drawn in that key."""
        r2 = radius * radius + radius  # rounder small circles than r*r
        inside = set()
        for y in range(cy - radius, cy + radius + 1):
            for x in range(cx - radius, cx + radius + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r2:
                    inside.add((x, y))
        for (x, y) in inside:
            rim = any((x + dx, y + dy) not in inside
                      for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            self.plot(x, y, outline if (rim and outline) else key)

    def stamp(self, x, y, rows):
        """Copies a small grid on top, skipping its '.' pixels."""
        for dy, row in enumerate(rows):
            for dx, key in enumerate(row):
                if key != '.':
                    self.plot(x + dx, y + dy, key)

    def rows(self):
        return [''.join(row) for row in self.cells]


# The standard mouse arrow, tip at the top-left pixel.
ARROW = [
    'K.......',
    'KK......',
    'KWK.....',
    'KWWK....',
    'KWWWK...',
    'KWWWWK..',
    'KWWWWWK.',
    'KWWWWWWK',
    'KWWWKKKK',
    'KWKWWK..',
    'KK.KWK..',
    '....KWK.',
    '....KK..',
]


# A smaller arrow for 16 x 16 icons.
SMALL_ARROW = [
    'K....',
    'KK...',
    'KWK..',
    'KWWK.',
    'KWWWK',
    'KWKKK',
    'KK...',
]


def with_arrow(rows, x, y, arrow=ARROW):
    """A picture with a mouse arrow on top, its tip at (x, y)."""
    grid = Grid(len(rows[0]), len(rows), rows)
    grid.stamp(x, y, arrow)
    return grid.rows()


# --------------------------------------------------------------------------
# Toolbar images, 16 x 16 each, in image list order

TOOLBAR_IMAGES = [
    ('Open', [  # an open yellow folder
        '................',
        '................',
        '................',
        '.KKKK...........',
        'KyyyyK..........',
        'KyWyyyKKKKKK....',
        'KyyyyyyyyyyyK...',
        'KyyyyyyyyyyyK...',
        'KyyyKKKKKKKKKKKK',
        'KyyKlllllllllllK',
        'KyyKllllllllllK.',
        'KyKlllllllllllK.',
        'KyKllllllllllK..',
        'KKlllllllllllK..',
        'KKKKKKKKKKKKKK..',
        '................',
    ]),
    ('Save', [  # a navy floppy disk with a white label and a metal shutter
        '................',
        'KKKKKKKKKKKKKKK.',
        'KNKWWWWWWWWWKNK.',
        'KNKWWWWWWWWWKNK.',
        'KNKWDDDDDDDWKNK.',
        'KNKWWWWWWWWWKNK.',
        'KNKWDDDDDDDWKNK.',
        'KNKWWWWWWWWWKNK.',
        'KNNKKKKKKKKKNNK.',
        'KNNNNNNNNNNNNNK.',
        'KNNNKKKKKKKKNNK.',
        'KNNNKLLKKLLKNNK.',
        'KNNNKLLKKLLKNNK.',
        'KNNNKLLKKLLKNNK.',
        '.KKKKKKKKKKKKKK.',
        '................',
    ]),
    ('Print', [  # a grey printer with a printed page in its tray
        '................',
        '...KKKKKKKKK....',
        '...KWWWWWWWK....',
        '...KWKKKKKWK....',
        '...KWWWWWWWK....',
        '...KWKKKKWWK....',
        '.KKKKKKKKKKKKK..',
        'KLLLLLLLLLLLLLK.',
        'KLLLLLLLLLLLLLKK',
        'KDDDDDDDDDDgDDKK',
        'KDDDDDDDDDDDDDKK',
        'KKKKKKKKKKKKKKKK',
        '.KWWWWWWWWWWWKK.',
        '.KWKKKKKKKKWWK..',
        '.KWWWWWWWWWWWK..',
        '.KKKKKKKKKKKKK..',
    ]),
    ('Copy', [  # two overlapping pages with turned-down corners
        'KKKKKK..........',
        'KWWWWKK.........',
        'KWKKWKWK........',
        'KWWWWKKKK.......',
        'KWKKKKKKWK......',
        'KWWWWWKKKKKKK...',
        'KWKKKKKWWWWWKK..',
        'KWWWWWKWKKKWKWK.',
        'KWKKKKKWWWWWKKKK',
        'KWWWWWKWKKKKKKWK',
        'KKKKKKKWWWWWWWWK',
        '......KWKKKKKKWK',
        '......KWWWWWWWWK',
        '......KWKKKKWWWK',
        '......KWWWWWWWWK',
        '......KKKKKKKKKK',
    ]),
    ('Empty', [  # a wooden clipboard with a red cross over its blank sheet
        '.....KKKKKK.....',
        '..KKKKDWWDKKKK..',
        '.KnBBKDDDDKBBnK.',
        '.KBBKKKKKKKKBBK.',
        '.KBKWWWWWWWWKBK.',
        '.KBKrrWWWWrrKBK.',
        '.KBKrrrWWrrrKBK.',
        '.KBKWrrrrrrWKBK.',
        '.KBKWWrrrrWWKBK.',
        '.KBKWWrrrrWWKBK.',
        '.KBKWrrrrrrWKBK.',
        '.KBKrrrWWrrrKBK.',
        '.KBKrrWWWWrrKBK.',
        '.KBKKKKKKKKKKBK.',
        '.KnBBBBBBBBBBnK.',
        '..KKKKKKKKKKKK..',
    ]),
    ('Rectangle', [  # a dashed selection rectangle dragged out by a crosshair
        'KKWWKKWWKKWWK...',
        'W...........W...',
        'W...........K...',
        'K...........K...',
        'K...........W...',
        'W...........W...',
        'W...........K...',
        'K...........K...',
        'K...........W...',
        'W...........K...',
        'W...........K...',
        'KKWWKKWWKKKK.KKK',
        '............K...',
        '............K...',
        '............K...',
        '................',
    ]),
    ('Window Active', [  # a window with a bright blue (active) title bar
        '................',
        'KKKKKKKKKKKKKKKK',
        'KNNNNNaaaaabbbbK',
        'KNWWWWWaaaabWWbK',
        'KNNNNNaaaaabWWbK',
        'KKKKKKKKKKKKKKKK',
        'KWWWWWWWWWWWWWWK',
        'KWWWWWWWWWWWWWWK',
        'KWWWWWWWWWWWWWWK',
        'KWWWWWWWWWWWWWWK',
        'KWWWWWWWWWWWWWWK',
        'KWWWWWWWWWWWWWWK',
        'KWWWWWWWWWWWWWWK',
        'KWWWWWWWWWWWWWWK',
        'KKKKKKKKKKKKKKKK',
        '................',
    ]),
    ('Window', with_arrow([  # a grey-titled window being picked by the mouse arrow
        'KKKKKKKKKKKK....',
        'KDDDDDDDDDDK....',
        'KDWWWWDDDDDK....',
        'KDDDDDDDDDDK....',
        'KKKKKKKKKKKK....',
        'KWWWWWWWWWWK....',
        'KWWWWWWWWWWK....',
        'KWWWWWWWWWWK....',
        'KWWWWWWWWWWK....',
        'KWWWWWWWWWWK....',
        'KKKKKKKKKKKK....',
        '................',
        '................',
        '................',
        '................',
        '................',
    ], 7, 3)),
    ('Screen', [  # a monitor showing a teal desktop, on its stand
        '.KKKKKKKKKKKKKK.',
        'KWWWWWWWWWWWWWDK',
        'KWKKKKKKKKKKKWDK',
        'KWKTTTTTTTTTWWDK',
        'KWKTTTTTTTTTWWDK',
        'KWKTTTTTTTTTWWDK',
        'KWKTTTTTTTTTWWDK',
        'KWKTTTTTTTTTWWDK',
        'KWKTTTTTTTTTWWDK',
        'KWKWWWWWWWWWWWDK',
        'KWWWWWWWWWWgWWDK',
        'KDDDDDDDDDDDDDDK',
        '.KKKKKKKKKKKKKK.',
        '.....KDDDDK.....',
        '...KKDDDDDDKK...',
        '...KKKKKKKKKK...',
    ]),
    ('Hide', [  # a faded window, struck out by a red bar
        'DDDDDDDDDDDDDD..',
        'DLLLLLLLLLLLLDrr',
        'DLLLLLLLLLLLLrrr',
        'DDDDDDDDDDDDrrr.',
        'DWWWWWWWWWWrrr..',
        'DWWWWWWWWWrrr...',
        'DWWWWWWWWrrr....',
        'DWWWWWWWrrr.....',
        'DWWWWWWrrrWD....',
        'DWWWWWrrrWWD....',
        'DWWWWrrrWWWD....',
        'DWWWrrrWWWWD....',
        'DDDrrrDDDDDD....',
        '..rrr...........',
        '.rrr............',
        '.rr.............',
    ]),
    ('About', [  # a blue disc with a white "i"
        '.....KKKKKK.....',
        '...KKbbbbbbKK...',
        '..KbbbbbbbbbbK..',
        '.KbbbbbWWbbbbbK.',
        '.KbbbbbWWbbbbbK.',
        'KbbbbbbbbbbbbbbK',
        'KbbbbbWWWbbbbbbK',
        'KbbbbbbWWbbbbbbK',
        'KbbbbbbWWbbbbbbK',
        'KbbbbbbWWbbbbbbK',
        'KbbbbbbWWbbbbbbK',
        '.KbbbbWWWWbbbbK.',
        '.KbbbbbbbbbbbbK.',
        '..KbbbbbbbbbbK..',
        '...KKbbbbbbKK...',
        '.....KKKKKK.....',
    ]),
    ('Exit', [  # a wooden door with a green arrow leaving through it
        'KKKKKKKKK.......',
        'KnBBBBBBK.......',
        'KnBBBBBBK.......',
        'KnBBBBBBK.......',
        'KnBBBBBBK.......',
        'KnBBBBBBK.KK....',
        'KnBBBBBBK.KgK...',
        'KnBBKKKKKKKggK..',
        'KnByKgggggggggK.',
        'KnBBKKKKKKKggK..',
        'KnBBBBBBK.KgK...',
        'KnBBBBBBK.KK....',
        'KnBBBBBBK.......',
        'KnBBBBBBK.......',
        'KnBBBBBBK.......',
        'KKKKKKKKK.......',
    ]),
]


# --------------------------------------------------------------------------
# Icons, 32 x 32 and 16 x 16

def main_icon_32():
    g = Grid(32, 32)
    # Monitor case with a raised bezel.
    g.fill(1, 1, 30, 23, 'S')
    g.frame(1, 1, 30, 23, 'K')
    g.line(2, 2, 29, 2, 'W')
    g.line(2, 2, 2, 22, 'W')
    g.line(3, 22, 29, 22, 'D')
    g.line(29, 3, 29, 22, 'D')
    # Screen: a teal desktop, sunk into the bezel.
    g.fill(4, 4, 27, 19, 'T')
    g.line(4, 4, 27, 4, 'D')
    g.line(4, 4, 4, 19, 'D')
    g.line(5, 5, 26, 5, 'K')
    g.line(5, 5, 5, 18, 'K')
    g.line(4, 20, 28, 20, 'W')
    g.line(28, 4, 28, 20, 'W')
    # A window on the desktop, the thing being captured.
    g.fill(8, 8, 19, 16, 'W')
    g.frame(8, 8, 19, 16, 'K')
    g.fill(9, 9, 18, 10, 'N')
    # Power light.
    g.plot(25, 21, 'g')
    g.plot(26, 21, 'g')
    # Stand.
    g.fill(12, 24, 19, 26, 'D')
    g.line(11, 24, 11, 26, 'K')
    g.line(20, 24, 20, 26, 'K')
    g.fill(7, 27, 24, 29, 'S')
    g.frame(7, 27, 24, 29, 'K')
    g.line(8, 28, 23, 28, 'W')
    # Red marching-ants marquee around the window, from corner to corner.
    for x in range(6, 23):
        key = 'r' if (x // 2) % 2 == 0 else 'W'
        g.plot(x, 6, key)
        g.plot(x, 18, key)
    for y in range(6, 19):
        key = 'r' if (y // 2) % 2 == 0 else 'W'
        g.plot(6, y, key)
        g.plot(22, y, key)
    # The mouse arrow that dragged it out, at the bottom-right corner.
    g.stamp(22, 18, ARROW)
    return g


MAIN_ICON_16 = with_arrow([
    'KKKKKKKKKKKKKKK.',
    'KSSSSSSSSSSSSSK.',
    'KSDDDDDDDDDDDSK.',
    'KSDrWrWrWrTTTSK.',
    'KSDWNNNNNWTTTSK.',
    'KSDrWWWWWrTTTSK.',
    'KSDWWWWWWWTTTSK.',
    'KSDrWWWWWrTTTSK.',
    'KSDWrWrWrWTTTSK.',
    'KSDTTTTTTTTTTSK.',
    'KSSSSSSSSSSSgSK.',
    'KKKKKKKKKKKKKKK.',
    '.....KDDDK......',
    '...KKKKKKKKK....',
    '...KSSSSSSSK....',
    '...KKKKKKKKK....',
], 9, 8, SMALL_ARROW)


def snapshot_32(sun_high):
    """A landscape photo in a white frame, lying slightly shadowed."""
    g = Grid(32, 32)
    # Shadow, then the white frame with its wider bottom margin.
    g.fill(4, 4, 30, 30, 'D')
    g.fill(2, 2, 28, 28, 'W')
    g.frame(2, 2, 28, 28, 'K')
    # The picture: sky, sun, hills.
    left, top, right, bottom = 5, 5, 25, 22
    g.fill(left, top, right, bottom, 'c')
    if sun_high:
        # Midday: a sun high in the sky, with rays.
        cx, cy = 19, 9
        for dx, dy in ((0, -4), (0, 4), (-4, 0), (4, 0), (-3, -3), (3, 3), (-3, 3), (3, -3)):
            g.plot(cx + dx, cy + dy, 'y')
        g.disc(cx, cy, 2, 'y', outline='r')
        g.plot(10, 9, 'W')  # a cloud
        g.fill(8, 10, 12, 10, 'W')
    else:
        # Dusk: the sun sits on the far hill, red, and the sky is darker.
        g.fill(left, top, right, top + 3, 'b')
        g.disc(19, 15, 3, 'y', outline='r')
    # Far hill (green) and near hill (lime), as two arcs.
    for x in range(left, right + 1):
        far = 15 + ((x - 18) ** 2) // 18
        near = 17 + ((x - 9) ** 2) // 14
        for y in range(max(far, top), bottom + 1):
            g.plot(x, y, 'G')
        for y in range(max(near, top), bottom + 1):
            g.plot(x, y, 'g')
    # A small tree on the near hill.
    g.fill(10, 15, 12, 16, 'G')
    g.plot(11, 14, 'G')
    g.plot(11, 17, 'O')
    g.plot(11, 18, 'O')
    g.frame(left - 1, top - 1, right + 1, bottom + 1, 'D')
    return g


SNAPSHOT_16_FRAME = [
    'KKKKKKKKKKKKKKK.',
    'KWWWWWWWWWWWWWK.',
    'KW...........WKD',
    'KW...........WKD',
    'KW...........WKD',
    'KW...........WKD',
    'KW...........WKD',
    'KW...........WKD',
    'KW...........WKD',
    'KW...........WKD',
    'KW...........WKD',
    'KWWWWWWWWWWWWWKD',
    'KWWWWWWWWWWWWWKD',
    'KWWWWWWWWWWWWWKD',
    'KKKKKKKKKKKKKKKD',
    '..DDDDDDDDDDDDDD',
]

# The picture inside the 16 x 16 frame: the sun high over the hills...
SNAPSHOT_16_DAY = [
    'ccccccccccc',
    'cccccccyycc',
    'cWWWccyyyyc',
    'ccccccyyyyc',
    'cccccccyycc',
    'ccccccGGGGG',
    'ggccGGGGGGG',
    'ggggGGGGGGG',
    'gggggggGGGG',
]

# ...and the sun setting behind the far hill under a darkening sky.
SNAPSHOT_16_DUSK = [
    'bbbbbbbbbbb',
    'bbbbbbbbbbb',
    'ccccccccccc',
    'cccccccrrcc',
    'ccccccryyrc',
    'ccccccGGGGG',
    'ggccGGGGGGG',
    'ggggGGGGGGG',
    'gggggggGGGG',
]


def snapshot_16(sun_high):
    g = Grid(16, 16, SNAPSHOT_16_FRAME)
    g.stamp(2, 2, SNAPSHOT_16_DAY if sun_high else SNAPSHOT_16_DUSK)
    return g


# --------------------------------------------------------------------------
# Drag cursor, 32 x 32, black and white; the box's centre dot is (13, 9)

DRAG_HOTSPOT = (13, 9)

DRAG_CURSOR = [
    '................................',
    '................................',
    '................................',
    '.......KKKKKKKKKKKKK............',
    '.......KWWWWWWWWWWWK............',
    '.......KWKKKKKKKKKWK............',
    '.......KWKWWWWWWWKWK............',
    '.......KWKWWWWWWWKWK............',
    '.......KWKWWWWWWWKWK............',
    '.......KWKWWWKWWWKWK............',
    '.......KWKWWWWWWWKWK............',
    '.......KWKWWWWWWWKWK............',
    '.......KWKWWWWWWWKWK............',
    '.......KWKKKKKKKKKWK............',
    '.......KWWWWWWWWWWWK............',
    '.......KKKKKKKKKKKKK............',
    '.......KWWKWWKWWKWWK............',
    '.......KWWKWWKWWKWWK............',
    '...KK..KWWKWWKWWKWWK............',
    '...KWK.KWWKWWKWWKWWK............',
    '...KWWKKWWKWWKWWKWWK............',
    '....KWWKWWWWWWWWWWWK............',
    '....KWWWKWWWWWWWWWWK............',
    '.....KWWWWWWWWWWWWWK............',
    '.....KWWWWWWWWWWWWWK............',
    '......KWWWWWWWWWWWK.............',
    '.......KWWWWWWWWWK..............',
    '........KWWWWWWWK...............',
    '........KKKKKKKKK...............',
    '........KWWWWWWWK...............',
    '........KWWWWWWWK...............',
    '........KKKKKKKKK...............',
]


# --------------------------------------------------------------------------
# File writers

def pack_bits(values, bits):
    """Packs palette indices, most significant first, padding rows to 4 bytes."""
    per_byte = 8 // bits
    out = bytearray()
    for i in range(0, len(values), per_byte):
        byte = 0
        for j in range(per_byte):
            v = values[i + j] if i + j < len(values) else 0
            byte = (byte << bits) | v
        out.append(byte)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def toolbar_palette():
    """VGA colours, the toolbar's extra shades, then a colour cube and grey ramp."""
    palette = list(VGA) + [rgb for _, rgb in TOOLBAR_EXTRA]
    levels = (0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF)
    palette += [(r, g, b) for r in levels for g in levels for b in levels]
    ramp = [0x08 + 13 * i for i in range(256 - len(palette))]
    palette += [(v, v, v) for v in ramp]
    assert len(palette) == 256
    # Only index 7 may be silver: anything else silver would turn transparent.
    assert [i for i, rgb in enumerate(palette) if rgb == VGA[SILVER]] == [SILVER]
    return palette


def write_toolbar(path):
    keys = dict(VGA_KEYS)
    for i, (key, _) in enumerate(TOOLBAR_EXTRA):
        keys[key] = 16 + i
    keys['.'] = SILVER
    count = len(TOOLBAR_IMAGES)
    width, height = 16 * count, 16
    pixels = [[SILVER] * width for _ in range(height)]
    for n, (name, rows) in enumerate(TOOLBAR_IMAGES):
        grid = Grid(16, 16, rows)
        for y, row in enumerate(grid.rows()):
            if 'S' in row:
                raise ValueError(f'{name}: silver inside a toolbar image would be transparent')
            for x, key in enumerate(row):
                pixels[y][16 * n + x] = keys[key]
    palette = toolbar_palette()
    stride = (width + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        data += bytes(row) + b'\0' * (stride - width)
    header_size = 14 + 40 + 4 * len(palette)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(data), 2835, 2835,
                       len(palette), 0)
    file_header = struct.pack('<2sIHHI', b'BM', header_size + len(data), 0, 0, header_size)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    with open(path, 'wb') as f:
        f.write(file_header + info + pal + bytes(data))


def icon_image(grid, bits, palette):
    """The DIB of one icon or cursor image: header, palette, XOR bits, AND mask."""
    w, h = grid.width, grid.height
    xor_rows, and_rows = [], []
    for row in reversed(grid.rows()):  # bottom-up
        # Transparent pixels are black in the XOR image and set in the mask.
        xor_rows.append(pack_bits([0 if k == '.' else palette[k] for k in row], bits))
        and_rows.append(pack_bits([1 if k == '.' else 0 for k in row], 1))
    xor, mask = b''.join(xor_rows), b''.join(and_rows)
    colours = 1 << bits
    info = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, bits, 0, len(xor) + len(mask),
                       0, 0, 0, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in
                   (VGA if bits == 4 else [(0, 0, 0), (255, 255, 255)])[:colours])
    return info + pal + xor + mask


def write_icon_file(path, grids, cursor_hotspot=None):
    """An .ico of 4-bit images, or with a hot spot a .cur of 1-bit images."""
    is_cursor = cursor_hotspot is not None
    images = []
    for grid in grids:
        if is_cursor:
            keys = {'K': 0, 'W': 1}
            bad = set(''.join(grid.rows())) - set('KW.')
            if bad:
                raise ValueError(f'{path}: cursor pixels must be K, W or ., not {bad}')
            images.append((grid, icon_image(grid, 1, keys)))
        else:
            images.append((grid, icon_image(grid, 4, VGA_KEYS)))
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 2 if is_cursor else 1, len(images))
    for grid, data in images:
        if is_cursor:
            colours, second, third = 2, cursor_hotspot[0], cursor_hotspot[1]
        else:
            colours, second, third = 16, 1, 4  # planes, bits per pixel
        directory += struct.pack('<BBBBHHII', grid.width % 256, grid.height % 256, colours, 0,
                                 second, third, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(directory + b''.join(data for _, data in images))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, 'res', 'art')
    os.makedirs(out, exist_ok=True)

    write_toolbar(os.path.join(out, 'toolbar.bmp'))
    write_icon_file(os.path.join(out, 'main.ico'),
                    [main_icon_32(), Grid(16, 16, MAIN_ICON_16)])
    write_icon_file(os.path.join(out, 'nabbet.ico'), [snapshot_32(True), snapshot_16(True)])
    write_icon_file(os.path.join(out, 'about1.ico'), [snapshot_32(False), snapshot_16(False)])
    cursor = Grid(32, 32, DRAG_CURSOR)
    x, y = DRAG_HOTSPOT
    if cursor.get(x, y) == '.':
        raise ValueError('the hot spot must lie on a drawn pixel')
    write_icon_file(os.path.join(out, 'drag.cur'), [cursor], cursor_hotspot=DRAG_HOTSPOT)
    print(f'wrote artwork to {out}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
