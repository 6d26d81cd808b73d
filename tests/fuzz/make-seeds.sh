#!/usr/bin/env bash
# Seeds for the picture fuzz targets: small well-formed pictures of every kind the loader
# reads, made by ImageMagick, and the damaged files tests/files/make_malformed.py derives
# from them, sorted into OUT/<target>/ by format. Deterministic; made once per build folder.
#   make-seeds.sh OUT
set -eu
out="$1"
here="$(cd "$(dirname "$0")" && pwd)"
[ -f "$out/.done" ] && exit 0
rm -rf "$out"
good="$out/good"
damaged="$out/damaged"
mkdir -p "$good" "$damaged"
if ! command -v convert >/dev/null; then
  echo "make-seeds: ImageMagick is missing: the picture targets start from their committed corpus only" >&2
  exit 0
fi
source=(-size 24x16 gradient:red-blue -fill white -draw "rectangle 3,3 9,7" -fill black -draw "line 0,15 23,0")
convert "${source[@]}" -type TrueColor -compress None "BMP3:$good/b24.bmp"
convert "${source[@]}" -colors 16 -type Palette -compress None "BMP3:$good/b8.bmp"
convert "${source[@]}" -colors 16 -type Palette -compress RLE "BMP3:$good/rle8.bmp"
convert "${source[@]}" -type TrueColor "BMP2:$good/os2.bmp"
convert "${source[@]}" -alpha on "BMP:$good/v5.bmp"
convert "${source[@]}" -colors 16 "$good/pic.gif"
convert "${source[@]}" -quality 90 "$good/base.jpg"
convert "${source[@]}" -quality 90 -interlace JPEG "$good/prog.jpg"
convert "${source[@]}" "$good/pic.png"
convert "${source[@]}" -colors 16 -type Palette "$good/pal.png"
convert "${source[@]}" -compress None "$good/le.tif"
convert "${source[@]}" -compress LZW -endian MSB "$good/be.tif"
convert "${source[@]}" -resize 16x16! "$good/icon.ico"
convert "${source[@]}" -resize 32x32! -define icon:auto-resize=32,16 "$good/two.ico"
python3 - "$good" <<'PY'
import os, sys
good = sys.argv[1]
# A cursor is an icon file of type 2 with a hot spot where an icon keeps planes and depth.
data = bytearray(open(os.path.join(good, "icon.ico"), "rb").read())
data[2] = 2
data[10:14] = bytes([4, 0, 5, 0])
open(os.path.join(good, "pointer.cur"), "wb").write(data)
PY
python3 "$here/../files/make_malformed.py" "$good" "$damaged" >/dev/null
sort_into() {  # target, extensions...
  local target="$1"; shift
  mkdir -p "$out/$target"
  for ext in "$@"; do
    find "$good" "$damaged" -maxdepth 1 -type f -name "*.$ext" -exec cp {} "$out/$target/" \;
  done
}
sort_into bmp bmp
sort_into gif gif
sort_into jpeg jpg
sort_into png png
sort_into tiff tif
sort_into icon ico cur
rm -rf "$good" "$damaged"
touch "$out/.done"
for target in bmp gif jpeg png tiff icon; do
  echo "  $target: $(ls "$out/$target" | wc -l) seeds"
done
