#!/usr/bin/env python3
"""Pixel checks on screenshots for the end-to-end tests (binary PPM files).

  pixels.py find FILE.ppm R G B                   -> "X Y" of every pixel of that colour, one a line
  pixels.py pattern FILE.ppm EXPECTED.ppm X Y PX PY W H
                                                  -> number of pixels in the W x H area at (X, Y)
                                                     that differ from EXPECTED's at (PX, PY)
  pixels.py pixel FILE.ppm X Y                    -> "R G B" of one pixel

The test pattern's colours are never computed here: EXPECTED comes from
pattern_window.exe --ppm, which paints the pattern from its one definition.
"""
import sys


def parse_ppm(data):
    """(width, height, pixel bytes) of an 8-bit binary PPM held in data."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b'P6' or int(fields[3]) != 255:
        raise SystemExit('not an 8-bit P6 image')
    return int(fields[1]), int(fields[2]), data[pos + 1:]


class Picture:
    def __init__(self, path):
        with open(path, 'rb') as f:
            self.width, self.height, self.pixels = parse_ppm(f.read())

    def at(self, x, y):
        """(R, G, B) of a pixel, or None outside the picture."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])


def main(argv):
    command, picture = argv[1], Picture(argv[2])
    if command == 'find':
        colour = tuple(int(v) for v in argv[3:6])
        for y in range(picture.height):
            for x in range(picture.width):
                if picture.at(x, y) == colour:
                    print(x, y)
    elif command == 'pattern':
        expected = Picture(argv[3])
        x0, y0, px, py, w, h = (int(v) for v in argv[4:10])
        differ = 0
        for j in range(h):
            for i in range(w):
                seen, wanted = picture.at(x0 + i, y0 + j), expected.at(px + i, py + j)
                if seen is None or wanted is None or seen != wanted:
                    differ += 1
        print(differ)
    elif command == 'pixel':
        print(*picture.at(int(argv[3]), int(argv[4])))
    else:
        raise SystemExit('unknown command ' + command)


if __name__ == '__main__':
    main(sys.argv)
