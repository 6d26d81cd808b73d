#!/usr/bin/env python3
"""Makes a corpus of damaged picture files from a folder of good ones.

    make_malformed.py SEEDS OUT

SEEDS holds well-formed pictures (any of .bmp .gif .jpg .ico .png); OUT receives the
damaged files: truncations at many offsets, header fields set to huge, zero or negative
sizes, random corruption, empty files, text and random bytes under picture names.
Everything is derived from a fixed seed, so the corpus is the same on every run.
File names start with "refuse-" where the file must be refused (it can hold no
complete picture, or claims a size beyond what the program accepts)."""
import os
import random
import struct
import sys
import zlib

rng = random.Random(20240607)


def write(out, name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(bytes(data))


def truncations(out, stem, ext, data, must_refuse):
    cuts = sorted(set([1, 2, 3, 4, 6, 8, 10, 13, 14, 15, 18, 22, 26, 30, 40, 54, 60, 64, 100, 200,
                       len(data) // 4, len(data) // 2, len(data) * 3 // 4, len(data) - 16, len(data) - 1]))
    for cut in cuts:
        if 0 < cut < len(data):
            prefix = "refuse-" if must_refuse else ""
            write(out, "%strunc-%s-%06d.%s" % (prefix, stem, cut, ext), data[:cut])


def corruptions(out, stem, ext, data, count=12):
    for i in range(count):
        damaged = bytearray(data)
        for _ in range(rng.randint(1, 12)):
            at = rng.randrange(len(damaged))
            damaged[at] = rng.randrange(256)
        write(out, "flip-%s-%02d.%s" % (stem, i, ext), damaged)


def patched(data, offset, fmt, value):
    damaged = bytearray(data)
    struct.pack_into(fmt, damaged, offset, value)
    return damaged


def bitmap_headers(out, stem, data):
    fields = {  # offset, format, values
        "width": (18, "<i", [0, -1, -37, 0x7FFFFFFF, -0x80000000, 40000]),
        "height": (22, "<i", [0, 0x7FFFFFFF, -0x80000000, 40000, -40000]),
        "planes": (26, "<H", [0, 2]),
        "bits": (28, "<H", [0, 7, 64, 0xFFFF]),
        "compression": (30, "<I", [1, 2, 3, 4, 5, 99]),
        "sizeimage": (34, "<I", [0xFFFFFFFF]),
        "colours": (46, "<I", [257, 0x7FFFFFFF, 0xFFFFFFFF]),
        "offbits": (10, "<I", [0, 5, 0x7FFFFFFF, len(data)]),
        "headersize": (14, "<I", [0, 13, 41, 0xFFFFFFFF]),
    }
    for field, (offset, fmt, values) in fields.items():
        for value in values:
            # Values a reader could still make sense of are not required to be refused.
            name = "%s-%s-%d.bmp" % (stem, field, value)
            lenient = (field == "sizeimage") or (field == "colours" and stem.startswith("b24")) or \
                (field == "compression" and value == 1 and stem in ("b8", "rle8"))
            write(out, name if lenient else "refuse-" + name, patched(data, offset, fmt, value))


def gif_headers(out, data):
    for w, h in [(65535, 65535), (0, 0), (40000, 1)]:
        write(out, "refuse-gif-screen-%dx%d.gif" % (w, h), patched(patched(data, 6, "<H", w), 8, "<H", h))
    # The first image descriptor's size.
    at = data.find(b"\x2c")
    if at > 0:
        write(out, "gif-frame-huge.gif", patched(patched(data, at + 5, "<H", 65535), at + 7, "<H", 65535))


def jpeg_headers(out, stem, data):
    for marker in (b"\xff\xc0", b"\xff\xc2"):
        at = data.find(marker)
        if at > 0:
            for w, h in [(65500, 65500), (0, 48), (64, 0), (40000, 40000)]:
                damaged = patched(patched(data, at + 5, ">H", h), at + 7, ">H", w)
                write(out, "refuse-%s-sof-%dx%d.jpg" % (stem, w, h), damaged)


def icon_headers(out, data):
    write(out, "refuse-ico-count-0.ico", patched(data, 4, "<H", 0))
    write(out, "refuse-ico-count-65535.ico", patched(data, 4, "<H", 65535))
    write(out, "refuse-ico-size-huge.ico", patched(data, 6 + 8, "<I", 0x7FFFFFFF))
    write(out, "refuse-ico-offset-huge.ico", patched(data, 6 + 12, "<I", 0x7FFFFFF0))
    write(out, "refuse-ico-offset-0.ico", patched(data, 6 + 12, "<I", 0))
    image = struct.unpack_from("<I", data, 6 + 12)[0]
    for field, offset, fmt, value in [("width", 4, "<i", 0x7FFFFFFF), ("width", 4, "<i", -32),
                                      ("height", 8, "<i", 0x7FFFFFFF), ("height", 8, "<i", -64),
                                      ("bits", 14, "<H", 77), ("headersize", 0, "<I", 0xFFFF)]:
        write(out, "refuse-ico-dib-%s-%d.ico" % (field, value), patched(data, image + offset, fmt, value))


def png_headers(out, data):
    for w, h in [(40000, 1), (0x7FFFFFFF, 0x7FFFFFFF), (100000, 100000)]:
        damaged = bytearray(data)
        struct.pack_into(">II", damaged, 16, w, h)
        struct.pack_into(">I", damaged, 29, zlib.crc32(bytes(damaged[12:29])) & 0xFFFFFFFF)
        write(out, "refuse-png-ihdr-%dx%d.png" % (w, h), damaged)


def png_chunk(kind, payload):
    return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF)


def wide_png(width, height):
    """A well-formed PNG wider than the program accepts: only its size is wrong."""
    rows = b"".join(b"\x00" + b"\xff\x00\x00" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


def main():
    seeds, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    for ext in ("bmp", "gif", "jpg", "ico", "png"):
        write(out, "refuse-empty.%s" % ext, b"")
        write(out, "refuse-random-%s.%s" % (ext, ext), bytes(rng.randrange(256) for _ in range(rng.randint(1, 5000))))
        write(out, "refuse-text.%s" % ext, b"This is not a picture.\r\nJust text.\r\n" * 20)
    write(out, "refuse-wide-valid.png", wide_png(40000, 2))
    write(out, "refuse-tall-valid.png", wide_png(1, 33000))
    for name in sorted(os.listdir(seeds)):
        stem, ext = os.path.splitext(name)
        ext = ext[1:].lower()
        with open(os.path.join(seeds, name), "rb") as f:
            data = f.read()
        # A bitmap or an icon cut short cannot hold its pixels; other formats may still decode.
        truncations(out, stem, ext, data, must_refuse=ext in ("bmp", "ico"))
        corruptions(out, stem, ext, data)
        if ext == "bmp":
            bitmap_headers(out, stem, data)
        elif ext == "gif":
            gif_headers(out, data)
        elif ext == "jpg":
            jpeg_headers(out, stem, data)
        elif ext == "ico":
            icon_headers(out, data)
        elif ext == "png":
            png_headers(out, data)
    print(len(os.listdir(out)))


if __name__ == "__main__":
    main()
