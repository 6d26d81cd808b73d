#!/usr/bin/env bash
# Builds Pixelnab's distribution from a finished build: `make dist`.
#   packaging/make-dist.sh BUILD_DIR
# Writes BUILD_DIR/dist/Pixelnab-2.0-portable.zip (Pixelnab.exe, Pixelnab.chm,
# README.txt, LICENSE.txt) and BUILD_DIR/dist/Pixelnab-2.0-setup.exe (NSIS installer).
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="$(cd "${1:?usage: make-dist.sh BUILD_DIR}" && pwd)"
version=2.0
dist="$build/dist"
stage="$dist/stage"

for f in "$build/bin/Pixelnab.exe" "$build/bin/Pixelnab.chm"; do
  [ -f "$f" ] || { echo "make-dist: $f is missing; build first (make build)" >&2; exit 1; }
done
command -v makensis >/dev/null || { echo "make-dist: makensis not found (Debian package nsis)" >&2; exit 1; }

rm -rf "$dist"
mkdir -p "$stage"
cp "$build/bin/Pixelnab.exe" "$build/bin/Pixelnab.chm" "$stage/"
# Text files for Windows: UTF-8 with a byte order mark (Notepad and the installer's
# licence page then read it as UTF-8), CRLF line ends.
# README.txt is the users' README (packaging/README.txt), not the developers' README.md.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$here/README.txt"; } >"$stage/README.txt"
{ printf '\xef\xbb\xbf'; python3 "$here/html2text.py" "$root/help/html/License.htm" | sed 's/$/\r/'; } >"$stage/LICENSE.txt"
cp "$root/res/art/main.ico" "$dist/main.ico"

(cd "$stage" && rm -f "$dist/Pixelnab-$version-portable.zip" &&
  zip -q -X "$dist/Pixelnab-$version-portable.zip" Pixelnab.exe Pixelnab.chm README.txt LICENSE.txt)
makensis -V2 -DSTAGE="$stage" -DOUTFILE="$dist/Pixelnab-$version-setup.exe" "$here/Pixelnab.nsi"
echo "make-dist: wrote $dist/Pixelnab-$version-portable.zip and $dist/Pixelnab-$version-setup.exe"
