#!/usr/bin/env python3
"""Finds the first row of a PPM picture (read from standard input) that holds a run
of at least LENGTH pixels of the colour R G B, and prints the screen position of a
point 20 pixels into that run: X = OFFSET_X + column, Y = OFFSET_Y + row.

With a seventh argument "run" it prints the whole run instead: X Y LENGTH of its first
pixel, in screen coordinates.

Usage: find_colour_run.py R G B LENGTH OFFSET_X OFFSET_Y [run]; exit status 1 when none."""
import sys

from pixels import parse_ppm


def main():
    r, g, b, length, off_x, off_y = (int(a) for a in sys.argv[1:7])
    width, height, pixels = parse_ppm(sys.stdin.buffer.read())
    colour = bytes((r, g, b))
    for y in range(height):
        row = pixels[3 * width * y:3 * width * (y + 1)]
        run = 0
        for x in range(width):
            if row[3 * x:3 * x + 3] == colour:
                run += 1
                if run == length:
                    start = x - length + 1
                    if sys.argv[7:] == ['run']:
                        end = x
                        while end + 1 < width and row[3 * (end + 1):3 * (end + 2)] == colour:
                            end += 1
                        print(off_x + start, off_y + y, end - start + 1)
                    else:
                        print(off_x + start + 20, off_y + y)
                    return 0
            else:
                run = 0
    return 1


if __name__ == '__main__':
    sys.exit(main())
