#!/usr/bin/env python3
"""Checks a marked-up capture saved by the markup scenario against the pattern it was taken of.

  markup_check.py SAVED.ppm PATTERN.ppm  -> one line per failed check; nothing when all hold

The places are those the scenario drew at, in picture pixels (see markup.sh).
"""
import sys

from pixels import Picture

RED = (0xE0, 0x20, 0x1C)


def main(saved_path, pattern_path):
    saved, pattern = Picture(saved_path), Picture(pattern_path)
    failures = []

    def expect(what, ok):
        if not ok:
            failures.append(what)

    # The 3-px rectangle from (10, 10) to (60, 40): its three rows and columns of pixels
    # centred on the edges are red, all along; the pixels just inside and outside are not.
    for x in range(12, 59):
        for y in (9, 10, 11, 39, 40, 41):
            expect(f"rectangle pixel {x},{y} is red", saved.at(x, y) == RED)
    for y in range(12, 39):
        for x in (9, 10, 11, 59, 60, 61):
            expect(f"rectangle pixel {x},{y} is red", saved.at(x, y) == RED)
    for x in range(20, 50):
        expect(f"inside the outline at {x},25 the picture shows", saved.at(x, 25) == pattern.at(x, 25))
        expect(f"outside the outline at {x},6 the picture shows", saved.at(x, 6) == pattern.at(x, 6))
    # The arrow from (70, 20) to (120, 60): its shaft's middle is red.
    expect("the arrow's shaft is red at 95,40", saved.at(95, 40) == RED)
    # "Hello" at (20, 80): red pixels in its box, the picture left of it untouched.
    text_red = sum(1 for y in range(80, 110) for x in range(20, 100) if saved.at(x, y) == RED)
    expect(f"the text has red pixels ({text_red})", text_red >= 40)
    # The step marker at (150, 30): a red disc (its number, in white, at the centre).
    expect("the step marker is red beside its number", saved.at(140, 30) == RED and saved.at(150, 20) == RED)
    expect("the step marker's number is white", any(saved.at(x, y) == (255, 255, 255)
                                                    for y in range(24, 37) for x in range(145, 156)))
    # The pen from (20, 64) to (60, 72), red; the highlighter along row 50 from x 20 to 90,
    # red laid translucently over the picture: each channel between the two, neither alone.
    expect("the pen stroke is red at 40,68", saved.at(40, 68) == RED)
    for x in (30, 50, 70):
        under, marked = pattern.at(x, 50), saved.at(x, 50)
        expect(f"the highlighter at {x},50 lets the picture through ({marked} over {under})",
               marked != under and marked != RED and
               all(min(u, r) <= m <= max(u, r) for u, r, m in zip(under, RED, marked)))
    # The pixelated area, moved to (100, 90) .. (163, 129): 8 x 8 blocks, none of them the
    # original's, each one colour: the rounded average of the picture under it there.
    for by in range(90, 130, 8):
        for bx in range(100, 164, 8):
            block = [saved.at(bx + i, by + j) for j in range(8) for i in range(8)]
            original = [pattern.at(bx + i, by + j) for j in range(8) for i in range(8)]
            expect(f"the 8 x 8 block at {bx},{by} is not the original's", block != original)
            expect(f"the 8 x 8 block at {bx},{by} is one colour", len(set(block)) == 1)
            average = tuple((sum(p[c] for p in original) + 32) // 64 for c in range(3))
            expect(f"the 8 x 8 block at {bx},{by} is the average of the picture there "
                   f"({block[0]}, not {average})", block[0] == average)
            expect(f"no pixel of the 8 x 8 block at {bx},{by} is the original's",
                   all(a != b for a, b in zip(block, original)) or len(set(original)) == 1)
    # Where nothing was drawn the picture is exactly the capture.
    for y in range(0, saved.height):
        for x in range(0, 6):
            expect(f"untouched pixel {x},{y}", saved.at(x, y) == pattern.at(x, y))
    for line in failures[:20]:
        print(line)
    if len(failures) > 20:
        print(f"... and {len(failures) - 20} more")


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
