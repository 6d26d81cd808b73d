#!/usr/bin/env bash
# Starts the built Pixelnab under Wine on the user's display.
set -u
BUILD_DIR="$1"
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: set DISPLAY to an X display (or start one, e.g. 'Xvfb :5 & export DISPLAY=:5') and try again." >&2
  exit 1
fi
PIXELNAB_KEEP_DISPLAY=1 exec "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bin/Pixelnab.exe"
