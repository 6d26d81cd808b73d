#!/usr/bin/env python3
"""Draws Pixelnab's artwork and writes it to res/art/.

Run from anywhere: python3 tools/make_art.py

Writes:
  toolbar.bmp  12 toolbar images of 16 x 16 in one 192 x 16 strip, 8 bits per
               pixel; silver (192, 192, 192) is the image list's mask colour.
  toolbar24.bmp, toolbar32.bmp
               the same twelve images drawn again at 24 and 32 px (150 and 200 %),
               24 bits per pixel, silver the mask colour too.
  main.ico     frame icon: a monitor with a selection marquee.
  nabbet.ico   document icon: a framed landscape snapshot with the sun high.
  about1.ico   the same snapshot with the sun just above the hills; the About
               box alternates it with nabbet.ico so the sun rises and sets.
  drag.cur     window picker's drag cursor: a hand holding up a framed box
               whose centre dot is the hot spot (13, 9).

The icons hold 32-bit images with alpha at 16, 20, 24, 32, 48 and 256 px (the
last as PNG): 16 and 32 are the pixel grids below, the others are drawn from the
same design with smooth edges.

Only the standard library is used, so the artwork can be rebuilt on any
machine with Python 3. Pictures are pixel grids: one character per pixel,
with the colour keys below, so each image can be read and edited as text.
"""

import math
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

    def polygon(self, points, key, outline=None):
        """Fills the polygon whose corners are pixel centres; with outline, its edges too."""
        ys = [y for _, y in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            crossings = []
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 <= y < y1) or (y1 <= y < y0):
                    crossings.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            crossings.sort()
            for a, b in zip(crossings[::2], crossings[1::2]):
                for x in range(int(round(a)), int(round(b)) + 1):
                    self.plot(x, y, key)
        if outline:
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                self.line(int(round(x0)), int(round(y0)), int(round(x1)), int(round(y1)), outline)

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
# Toolbar images at 24 x 24 and 32 x 32 (150 % and 200 %): the same pictures drawn
# again at those sizes with one-pixel outlines, not the small ones enlarged. Positions
# are given on the 16-pixel grid and land on whole pixels of the larger one.

# The larger strips are 24-bit, so they take a few more shades.
LARGE_EXTRA = {
    'h': (0xFF, 0xF4, 0xC0),  # folder highlight
    'd': (0xC8, 0x9A, 0x00),  # folder shade
    'v': (0x20, 0x40, 0xA0),  # disk blue
    'w': (0xF4, 0xF4, 0xF4),  # paper
    'x': (0xA8, 0xA8, 0xA8),  # metal (not silver: silver is the mask)
    'q': (0x00, 0x60, 0xC0),  # title bar, dark end
    'z': (0x9C, 0xD8, 0xFF),  # title bar, light end
    'u': (0x1E, 0x64, 0xD8),  # information blue
    'e': (0x30, 0xA0, 0xA0),  # desktop teal, lighter
}


def large_colours():
    colours = {key: VGA[index] for key, index in VGA_KEYS.items()}
    colours.update({key: rgb for key, rgb in TOOLBAR_EXTRA})
    colours.update(LARGE_EXTRA)
    return colours


def pointer_arrow(g, x, y, height):
    """The mouse arrow, tip at (x, y), height pixels tall."""
    f = height / 12.0
    points = [(0, 0), (0, 10), (2.4, 7.8), (4.2, 11.6), (5.8, 10.9), (4.1, 7.2), (7, 7.2)]
    g.polygon([(x + px * f, y + py * f) for px, py in points], 'W', outline='K')


def draw_large(name, s):
    g = Grid(s, s)
    k = s / 16.0

    def u(v):
        return int(round(v * k))

    last = s - 1
    if name == 'Open':
        g.fill(u(0), u(3), u(5), u(5), 'y')
        g.frame(u(0), u(3), u(5), u(5), 'K')
        g.fill(u(0), u(5), u(12.5), last - u(1), 'd')
        g.frame(u(0), u(5), u(12.5), last - u(1), 'K')
        g.line(u(0) + 1, u(5) + 1, u(12.5) - 1, u(5) + 1, 'y')
        g.polygon([(u(3.5), u(8.5)), (last, u(8.5)), (last - u(3), last - u(1)), (0, last - u(1))], 'l', outline='K')
        g.line(u(3.5) + 1, u(8.5) + 1, last - 2, u(8.5) + 1, 'h')
    elif name == 'Save':
        g.fill(0, u(1), last - u(1), last - u(1), 'v')
        g.frame(0, u(1), last - u(1), last - u(1), 'K')
        g.fill(u(3), u(1), u(12), u(7.5), 'w')
        g.frame(u(3), u(1), u(12), u(7.5), 'K')
        for line in (3, 5):
            g.line(u(4.5), u(line), u(10.5), u(line), 'D')
        g.fill(u(4), u(10), u(11), last - u(1), 'x')
        g.frame(u(4), u(10), u(11), last - u(1), 'K')
        g.fill(u(8.5), u(11), u(9.5), last - u(1) - 2, 'N')
        g.plot(1, u(1) + 1, 'b')
    elif name == 'Print':
        g.fill(u(3), u(1), u(12), u(7), 'w')
        g.frame(u(3), u(1), u(12), u(7), 'K')
        for line in (3, 5):
            g.line(u(4.5), u(line), u(10.5), u(line), 'D')
        g.fill(0, u(6.5), last, u(12), 'L')
        g.fill(0, u(9.5), last, u(12), 'D')
        g.frame(0, u(6.5), last, u(12), 'K')
        g.fill(last - u(3), u(8), last - u(2), u(8.5), 'g')
        g.fill(u(1.5), u(12), u(13.5), last, 'w')
        g.frame(u(1.5), u(12), u(13.5), last, 'K')
        g.line(u(3), u(13.5), u(10), u(13.5), 'D')
    elif name == 'Copy':
        for x0, y0 in ((0, 0), (u(6), u(5))):
            x1, y1 = x0 + u(9.5), y0 + u(10.5)
            ear = u(3)
            g.polygon([(x0, y0), (x1 - ear, y0), (x1, y0 + ear), (x1, y1), (x0, y1)], 'w', outline='K')
            g.polygon([(x1 - ear, y0), (x1 - ear, y0 + ear), (x1, y0 + ear)], 'L', outline='K')
            for row in range(3, 10, 2):
                g.line(x0 + u(1.5), y0 + u(row), x1 - u(2.5) if row < 4 else x1 - u(1.5), y0 + u(row), 'D')
    elif name == 'Empty':
        g.fill(u(1), u(2), last - u(1), last, 'B')
        g.frame(u(1), u(2), last - u(1), last, 'K')
        g.frame(u(1) + 1, u(2) + 1, last - u(1) - 1, last - 1, 'n')
        g.fill(u(3), u(4), last - u(3), last - u(2), 'W')
        g.frame(u(3), u(4), last - u(3), last - u(2), 'K')
        g.fill(u(5), 0, last - u(5), u(3.5), 'D')
        g.frame(u(5), 0, last - u(5), u(3.5), 'K')
        g.fill(u(6.5), u(1), last - u(6.5), u(1.5), 'W')
        width = max(2, u(1.5))
        for d in range(width):
            g.line(u(4.5) + d, u(5.5), last - u(4.5), last - u(3.5) - d, 'r')
            g.line(u(4.5), u(5.5) + d, last - u(4.5) - d, last - u(3.5), 'r')
            g.line(last - u(4.5) - d, u(5.5), u(4.5), last - u(3.5) - d, 'r')
            g.line(last - u(4.5), u(5.5) + d, u(4.5) + d, last - u(3.5), 'r')
    elif name == 'Rectangle':
        right, bottom = u(12.5), u(11.5)
        dash = u(2)
        for x in range(0, right + 1):
            key = 'K' if (x // dash) % 2 == 0 else 'W'
            g.plot(x, 0, key)
            g.plot(x, bottom, key)
        for y in range(0, bottom + 1):
            key = 'K' if (y // dash) % 2 == 0 else 'W'
            g.plot(0, y, key)
            g.plot(right, y, key)
        g.line(right, bottom - u(3), right, last, 'K')
        g.line(right - u(3), bottom, last, bottom, 'K')
        g.fill(right - 1, bottom - 1, right + 1, bottom + 1, 'r')
    elif name in ('Window Active', 'Window'):
        active = name == 'Window Active'
        right = last if active else u(11.5)
        bottom = last - u(1) if active else u(10.5)
        top = u(1) if active else 0
        g.fill(0, top, right, bottom, 'W')
        g.frame(0, top, right, bottom, 'K')
        title = top + u(3.5)
        for x in range(1, right):
            if active:
                g.line(x, top + 1, x, title - 1, 'q' if x < right * 0.45 else ('b' if x < right * 0.75 else 'z'))
            else:
                g.line(x, top + 1, x, title - 1, 'D')
        g.line(1, title, right - 1, title, 'K')
        g.line(u(1.5), top + u(1.75), u(1.5) + u(4), top + u(1.75), 'W')
        if active:
            box = u(2)
            g.fill(right - 2 - box, top + 2, right - 2, title - 2, 'W')
            g.frame(right - 2 - box, top + 2, right - 2, title - 2, 'K')
        else:
            pointer_arrow(g, u(7), u(3.5), s - u(3.5) - 1)
    elif name == 'Screen':
        bottom = u(12)
        g.fill(0, 0, last, bottom, 'W')
        g.frame(0, 0, last, bottom, 'K')
        g.line(last - 1, 1, last - 1, bottom - 1, 'D')
        g.line(1, bottom - 1, last - 1, bottom - 1, 'D')
        g.fill(u(2), u(2), last - u(2), bottom - u(2.5), 'T')
        g.frame(u(2), u(2), last - u(2), bottom - u(2.5), 'K')
        g.fill(u(3.5), u(3.5), u(9), u(7.5), 'e')
        g.plot(last - u(3), bottom - u(1.5), 'g')
        g.plot(last - u(3) + 1, bottom - u(1.5), 'g')
        g.fill(u(5.5), bottom + 1, last - u(5.5), last - u(1.5), 'D')
        g.line(u(5.5) - 1, bottom + 1, u(5.5) - 1, last - u(1.5), 'K')
        g.line(last - u(5.5) + 1, bottom + 1, last - u(5.5) + 1, last - u(1.5), 'K')
        g.fill(u(3), last - u(1.5), last - u(3), last, 'x')
        g.frame(u(3), last - u(1.5), last - u(3), last, 'K')
    elif name == 'Hide':
        right, bottom = u(13), u(12.5)
        g.fill(0, 0, right, bottom, 'W')
        g.fill(1, 1, right - 1, u(3), 'L')
        g.frame(0, 0, right, bottom, 'D')
        g.line(1, u(3), right - 1, u(3), 'D')
        width = max(3, u(2.5))
        for d in range(width):
            g.line(last - d, 1, u(1) - d + 1, last, 'r')
            g.line(last, 1 + d, u(1) + 1, last + d, 'r')
    elif name == 'About':
        c = last / 2.0
        g.disc(int(c), int(c), int(c), 'u', outline='K')
        if s % 2 == 0:  # the disc's centre lies between pixels: mirror it to be round
            for y in range(s):
                for x in range(s // 2, s):
                    g.plot(x, y, g.get(s - 1 - x, y))
        stem = max(2, u(2))
        left = (s - stem) // 2
        g.fill(left, u(3), left + stem - 1, u(3) + stem - 1, 'W')
        g.fill(left, u(6.5), left + stem - 1, last - u(3.5), 'W')
        g.fill(left - u(1), u(6.5), left, u(6.5) + max(1, u(0.5)), 'W')
        g.fill(left - u(1), last - u(3.5) - max(1, u(0.5)), left + stem - 1 + u(1), last - u(3.5), 'W')
    elif name == 'Exit':
        door = u(9)
        g.fill(0, 0, door, last, 'B')
        g.frame(0, 0, door, last, 'K')
        g.line(1, 1, 1, last - 1, 'n')
        g.fill(u(2.5), u(7.5), u(3), u(8.5), 'y')
        mid = u(8)
        head = u(4)
        g.fill(u(4.5), mid - u(1), last - head, mid + u(1) - 1, 'g')
        g.frame(u(4.5), mid - u(1), last - head, mid + u(1) - 1, 'K')
        g.polygon([(last - head, mid - head), (last, mid - 0.5), (last - head, mid + head - 1)], 'g', outline='K')
    else:
        raise ValueError(name)
    return g


def write_large_toolbar(path, size):
    colours = large_colours()
    count = len(TOOLBAR_IMAGES)
    width = size * count
    pixels = [[VGA[SILVER]] * width for _ in range(size)]
    for n, (name, _) in enumerate(TOOLBAR_IMAGES):
        for y, row in enumerate(draw_large(name, size).rows()):
            for x, key in enumerate(row):
                if key == 'S' or (key != '.' and colours[key] == VGA[SILVER]):
                    raise ValueError(f'{name}: silver inside a toolbar image would be transparent')
                if key != '.':
                    pixels[y][size * n + x] = colours[key]
    stride = (3 * width + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = b''.join(struct.pack('<BBB', b, g, r) for (r, g, b) in row)
        data += line + b'\0' * (stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    with open(path, 'wb') as f:
        f.write(file_header + info + bytes(data))


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
# Icons in full colour: 32-bit images with an alpha channel at 16, 20, 24, 32, 48 and
# 256 pixels. The 16 and 32 pixel pictures are the ones drawn pixel by pixel above; the
# others are drawn from the same design on a 32-unit grid, four samples a pixel each way
# (two at 256), so that their edges are smooth at any size.

ICON_SIZES = (16, 20, 24, 32, 48, 256)


class Canvas:
    """An RGBA picture drawn in design units (32 to the side), averaged down at the end."""

    def __init__(self, size):
        self.size = size
        self.factor = 2 if size > 64 else 4
        self.side = size * self.factor
        self.scale = self.side / 32.0
        self.pixels = [None] * (self.side * self.side)

    def _span(self, a, b):
        return max(0, int(round(a * self.scale))), min(self.side, int(round(b * self.scale)))

    def rect(self, x0, y0, x1, y1, colour):
        """Fills from (x0, y0) to (x1, y1), in units, right and bottom edges excluded."""
        xa, xb = self._span(x0, x1)
        ya, yb = self._span(y0, y1)
        for y in range(ya, yb):
            row = y * self.side
            for x in range(xa, xb):
                self.pixels[row + x] = colour

    def frame(self, x0, y0, x1, y1, width, colour):
        self.rect(x0, y0, x1, y0 + width, colour)
        self.rect(x0, y1 - width, x1, y1, colour)
        self.rect(x0, y0, x0 + width, y1, colour)
        self.rect(x1 - width, y0, x1, y1, colour)

    def disc(self, cx, cy, radius, colour):
        r = radius * self.scale
        cxs, cys = cx * self.scale, cy * self.scale
        for y in range(max(0, int(cys - r)), min(self.side, int(cys + r) + 1)):
            for x in range(max(0, int(cxs - r)), min(self.side, int(cxs + r) + 1)):
                if (x + 0.5 - cxs) ** 2 + (y + 0.5 - cys) ** 2 <= r * r:
                    self.pixels[y * self.side + x] = colour

    def polygon(self, points, colour):
        pts = [(x * self.scale, y * self.scale) for x, y in points]
        ys = [y for _, y in pts]
        for y in range(max(0, int(min(ys))), min(self.side, int(max(ys)) + 1)):
            yc = y + 0.5
            crossings = sorted(x0 + (yc - y0) * (x1 - x0) / (y1 - y0)
                               for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1])
                               if (y0 <= yc < y1) or (y1 <= yc < y0))
            for a, b in zip(crossings[::2], crossings[1::2]):
                for x in range(max(0, int(round(a))), min(self.side, int(round(b)))):
                    self.pixels[y * self.side + x] = colour

    def thick_line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = (dx * dx + dy * dy) ** 0.5
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)

    def rgba(self):
        """Rows top-down of (r, g, b, a), each the average of its samples."""
        f, side = self.factor, self.side
        n = f * f
        out = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                r = g = b = covered = 0
                for sy in range(y * f, y * f + f):
                    for sx in range(x * f, x * f + f):
                        c = self.pixels[sy * side + sx]
                        if c is not None:
                            r += c[0]
                            g += c[1]
                            b += c[2]
                            covered += 1
                if covered:
                    row.append((r // covered, g // covered, b // covered, 255 * covered // n))
                else:
                    row.append((0, 0, 0, 0))
            out.append(row)
        return out


def grid_rgba(grid):
    return [[(0, 0, 0, 0) if k == '.' else VGA[VGA_KEYS[k]] + (255,) for k in row] for row in grid.rows()]


def outline_width(size):
    """One pixel at small sizes, in design units; a little less than a unit when large."""
    return max(32.0 / size, 0.75)


BLACK, WHITE, SILVER_RGB = (0, 0, 0), (255, 255, 255), (0xC8, 0xC8, 0xC8)
DARK, TEAL, NAVY = (0x70, 0x70, 0x70), (0x00, 0x80, 0x80), (0x10, 0x28, 0x80)
RED, LIME, GREEN = (0xE0, 0x10, 0x10), (0x30, 0xD0, 0x30), (0x10, 0x80, 0x20)
SKY, DUSK, SUN = (0x7C, 0xCC, 0xF4), (0x30, 0x48, 0xB0), (0xFF, 0xD8, 0x20)


def main_icon_drawn(size):
    c = Canvas(size)
    w = outline_width(size)
    # Monitor case with its bezel, and the teal desktop.
    c.rect(1, 1, 31, 24, BLACK)
    c.rect(1 + w, 1 + w, 31 - w, 24 - w, SILVER_RGB)
    c.rect(4, 4, 28, 20, BLACK)
    c.rect(4 + w, 4 + w, 28 - w, 20 - w, TEAL)
    # The window being captured, with its navy title bar.
    c.rect(8, 8, 20, 17, BLACK)
    c.rect(8 + w, 8 + w, 20 - w, 17 - w, WHITE)
    c.rect(8 + w, 8 + w, 20 - w, 11, NAVY)
    c.rect(25, 21, 27, 22.2, LIME)
    # Stand and foot.
    c.rect(11, 24, 21, 27, BLACK)
    c.rect(11 + w, 24, 21 - w, 27, DARK)
    c.rect(7, 27, 25, 30, BLACK)
    c.rect(7 + w, 27 + w, 25 - w, 30 - w, SILVER_RGB)
    # The red marquee around the window, in dashes.
    dash = 2.0
    x = 6.0
    while x < 23:
        colour = RED if int((x - 6) / dash) % 2 == 0 else WHITE
        c.rect(x, 6, min(x + dash, 23), 6 + 2 * w, colour)
        c.rect(x, 19 - 2 * w, min(x + dash, 23), 19, colour)
        x += dash
    y = 6.0
    while y < 19:
        colour = RED if int((y - 6) / dash) % 2 == 0 else WHITE
        c.rect(6, y, 6 + 2 * w, min(y + dash, 19), colour)
        c.rect(23 - 2 * w, y, 23, min(y + dash, 19), colour)
        y += dash
    # The mouse arrow at the marquee's corner.
    arrow = [(0, 0), (0, 11), (2.6, 8.6), (4.6, 12.8), (6.4, 12), (4.5, 7.9), (7.9, 7.9)]
    c.polygon([(22 + x, 18 + y) for x, y in arrow], BLACK)
    inner = [(0.9, 2.2), (0.9, 8.9), (2.9, 7.0), (5.0, 11.5), (5.3, 11.3), (3.2, 7.0), (5.8, 7.0)]
    c.polygon([(22 + x, 18 + y) for x, y in inner], WHITE)
    return c.rgba()


def snapshot_drawn(size, sun_high):
    c = Canvas(size)
    w = outline_width(size)
    c.rect(4, 4, 31, 31, (0x60, 0x60, 0x60))  # shadow
    c.rect(2, 2, 29, 29, BLACK)
    c.rect(2 + w, 2 + w, 29 - w, 29 - w, WHITE)
    left, top, right, bottom = 5, 5, 26, 23
    c.rect(left - w, top - w, right + w, bottom + w, DARK)
    c.rect(left, top, right, bottom, SKY)
    if sun_high:
        for angle in range(8):
            a = angle * math.pi / 4
            c.thick_line(19 + 3.2 * math.cos(a), 9.5 + 3.2 * math.sin(a),
                         19 + 4.6 * math.cos(a), 9.5 + 4.6 * math.sin(a), 0.9, SUN)
        c.disc(19, 9.5, 2.6, RED)
        c.disc(19, 9.5, 2.6 - w, SUN)
        c.disc(9, 10, 1.6, WHITE)
        c.disc(11, 9.6, 1.8, WHITE)
        c.rect(8, 10, 13, 11.5, WHITE)
    else:
        c.rect(left, top, right, top + 4, DUSK)
        c.disc(19, 16, 3.2, RED)
        c.disc(19, 16, 3.2 - w, SUN)
    far = [(x / 2.0, 15 + ((x / 2.0 - 18) ** 2) / 18) for x in range(2 * left, 2 * right + 1)] + \
        [(right, bottom), (left, bottom)]
    c.polygon([(x, min(y, bottom)) for x, y in far], GREEN)
    near = [(x / 2.0, 17 + ((x / 2.0 - 9) ** 2) / 14) for x in range(2 * left, 2 * right + 1)] + \
        [(right, bottom), (left, bottom)]
    c.polygon([(x, min(y, bottom)) for x, y in near], LIME)
    c.rect(10.6, 16.5, 11.6, 19, (0x80, 0x60, 0x20))
    c.disc(11.1, 15.5, 1.6, GREEN)
    return c.rgba()


def png_bytes(rows):
    import zlib
    raw = b''.join(b'\0' + b''.join(struct.pack('BBBB', *p) for p in row) for row in rows)
    size = len(rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')


def rgba_icon_image(rows):
    """A 32-bit DIB icon image (BGRA, bottom-up) with its AND mask, or PNG at 256."""
    size = len(rows)
    if size >= 256:
        return png_bytes(rows)
    xor = b''.join(b''.join(struct.pack('BBBB', b, g, r, a) for (r, g, b, a) in row) for row in reversed(rows))
    mask = b''.join(pack_bits([1 if a == 0 else 0 for (_, _, _, a) in row], 1) for row in reversed(rows))
    info = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_rgba_icon(path, images):
    """An .ico with one 32-bit image per size, smallest first."""
    datas = [rgba_icon_image(rows) for rows in images]
    directory = struct.pack('<HHH', 0, 1, len(datas))
    offset = 6 + 16 * len(datas)
    for rows, data in zip(images, datas):
        directory += struct.pack('<BBBBHHII', len(rows) % 256, len(rows) % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(directory + b''.join(datas))


def icon_set(drawn, pixel_16, pixel_32):
    return [grid_rgba(pixel_16) if s == 16 else grid_rgba(pixel_32) if s == 32 else drawn(s) for s in ICON_SIZES]


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
    for size in (24, 32):
        write_large_toolbar(os.path.join(out, f'toolbar{size}.bmp'), size)
    write_rgba_icon(os.path.join(out, 'main.ico'),
                    icon_set(main_icon_drawn, Grid(16, 16, MAIN_ICON_16), main_icon_32()))
    write_rgba_icon(os.path.join(out, 'nabbet.ico'),
                    icon_set(lambda s: snapshot_drawn(s, True), snapshot_16(True), snapshot_32(True)))
    write_rgba_icon(os.path.join(out, 'about1.ico'),
                    icon_set(lambda s: snapshot_drawn(s, False), snapshot_16(False), snapshot_32(False)))
    cursor = Grid(32, 32, DRAG_CURSOR)
    x, y = DRAG_HOTSPOT
    if cursor.get(x, y) == '.':
        raise ValueError('the hot spot must lie on a drawn pixel')
    write_icon_file(os.path.join(out, 'drag.cur'), [cursor], cursor_hotspot=DRAG_HOTSPOT)
    print(f'wrote artwork to {out}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
