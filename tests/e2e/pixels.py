#!/usr/bin/env python3
"""Pixel checks on screenshots for the end-to-end tests (reads binary PPM from stdin or a file).

  pixels.py find FILE.ppm R G B                -> "X Y" of every pixel of that colour, one a line
  pixels.py pattern FILE.ppm X Y PX PY W H     -> number of pixels in the W x H area at (X, Y)
                                                  that differ from the test pattern at (PX, PY)
  pixels.py pixel FILE.ppm X Y                 -> "R G B" of one pixel
"""
import sys


def read_ppm(path):
    with open(path, 'rb') as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            while data[pos:pos + 1] != b'\n':
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b'P6' or int(fields[3]) != 255:
        raise SystemExit('not an 8-bit P6 image')
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def pattern(x, y):
    return (x & 0xFF, y & 0xFF, 0x40 | ((x * 7 + y * 13) & 0x3F))


def main(argv):
    command, path = argv[1], argv[2]
    width, height, pixels = read_ppm(path)

    def at(x, y):
        i = (y * width + x) * 3
        return tuple(pixels[i:i + 3])

    if command == 'find':
        colour = tuple(int(v) for v in argv[3:6])
        for y in range(height):
            for x in range(width):
                if at(x, y) == colour:
                    print(x, y)
    elif command == 'pattern':
        x0, y0, px, py, w, h = (int(v) for v in argv[3:9])
        differ = 0
        for j in range(h):
            for i in range(w):
                x, y = x0 + i, y0 + j
                if not (0 <= x < width and 0 <= y < height) or at(x, y) != pattern(px + i, py + j):
                    differ += 1
        print(differ)
    elif command == 'pixel':
        print(*at(int(argv[3]), int(argv[4])))
    else:
        raise SystemExit('unknown command ' + command)


if __name__ == '__main__':
    main(sys.argv)
