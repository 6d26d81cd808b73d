#!/usr/bin/env python3
"""Pictures and pixel checks for the viewing scenario.

  view_pixels.py bmp FILE.bmp PATTERN.ppm   writes PATTERN.ppm (from pattern_window.exe --ppm)
                                           as a 24-bit BMP
  view_pixels.py origin FILE.ppm           "X Y" of the top-left-most pixel showing picture
                                           pixel (0, 0) with (1, 0) and (0, 1) beside it
  view_pixels.py scaled FILE.ppm X Y W H ZOOM OX OY
                                           pixels of the W x H screen area at (X, Y) that
                                           differ from the picture drawn at ZOOM (integer)
                                           and scrolled by OX, OY screen pixels
  view_pixels.py extent FILE.ppm X Y       "W H": how far right and down from (X, Y) the
                                           picture reaches before a background

The test pattern's colours are never computed here: they come from the PPM that
pattern_window.exe --ppm writes from the pattern's one definition, named by the
VIEW_PATTERN environment variable for the checks.
"""
import os
import struct
import sys

from pixels import Picture


def read_ppm(path):
    picture = Picture(path)
    return picture.width, picture.height, picture.pixels


_pattern = None


def pattern(x, y):
    global _pattern
    if _pattern is None:
        _pattern = Picture(os.environ['VIEW_PATTERN'])
    return _pattern.at(x, y)


def write_bmp(path, source):
    width, height, data = read_ppm(source)
    stride = (width * 3 + 3) & ~3
    with open(path, 'wb') as f:
        size = 54 + stride * height
        f.write(b'BM' + struct.pack('<IHHI', size, 0, 0, 54))
        f.write(struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, stride * height, 2835, 2835, 0, 0))
        pad = b'\0' * (stride - width * 3)
        for y in range(height - 1, -1, -1):  # bottom-up rows
            row = bytearray(width * 3)
            for x in range(width):
                i = 3 * (y * width + x)
                r, g, b = data[i:i + 3]
                row[3 * x:3 * x + 3] = bytes((b, g, r))
            f.write(row + pad)


def main(argv):
    if argv[1] == 'bmp':
        write_bmp(argv[2], argv[3])
        return 0
    width, height, data = read_ppm(argv[2])

    def at(x, y):
        i = 3 * (y * width + x)
        return tuple(data[i:i + 3])

    if argv[1] == 'origin':
        for y in range(height - 1):
            for x in range(width - 1):
                if at(x, y) == pattern(0, 0) and at(x + 1, y) == pattern(1, 0) and at(x, y + 1) == pattern(0, 1):
                    print(x, y)
                    return 0
        return 1
    if argv[1] == 'scaled':
        x0, y0, w, h, zoom, ox, oy = (int(v) for v in argv[3:10])
        wrong = sum(at(x0 + x, y0 + y) != pattern((ox + x) // zoom, (oy + y) // zoom)
                    for y in range(h) for x in range(w))
        print(wrong)
        return 0
    if argv[1] == 'extent':
        x0, y0 = int(argv[3]), int(argv[4])
        # The picture's blue never exceeds 0x7F, even blended; every background around it
        # (the box's, the window's grey) is bluer.
        light = lambda p: p[2] >= 0x80
        w = 0
        while x0 + w < width and not light(at(x0 + w, y0 + 1)):
            w += 1
        h = 0
        while y0 + h < height and not light(at(x0 + 1, y0 + h)):
            h += 1
        print(w, h)
        return 0
    raise SystemExit('unknown command ' + argv[1])


if __name__ == '__main__':
    sys.exit(main(sys.argv))
