#!/usr/bin/env bash
# Runs the scrolling capture benchmark under Wine on a private 1920x1080x24 Xvfb, then stops both.
set -u
BUILD_DIR="$1"
export WINEPREFIX="$BUILD_DIR/wineprefix"
# Wine's desktop process keeps the display it was started on: begin with a fresh server.
wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
fd_file=$(mktemp)
exec 3>"$fd_file"
setsid Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
if [ ! -s "$fd_file" ]; then echo "bench: Xvfb did not start" >&2; kill "$xvfb_pid" 2>/dev/null; exit 1; fi
export DISPLAY=":$(tr -d '\n' <"$fd_file")"
rm -f "$fd_file"
PIXELNAB_KEEP_DISPLAY=1 "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bin/scroll_bench.exe" "${@:2}"
rc=$?
wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
kill "$xvfb_pid" 2>/dev/null
exit $rc
