#!/usr/bin/env bash
# The marking-up figures (bench/markup_bench.cpp) on a private 1920 x 1080 Xvfb with a fresh
# Wine server, stopped again at the end; the picture itself is 7680 x 4320.
# Usage: bench/run-markup-bench.sh BUILD_DIR [RUNS]
set -u
BUILD_DIR="$1"
RUNS="${2:-${BENCH_RUNS:-9}}"
export WINEPREFIX="$BUILD_DIR/wineprefix"
work=$(mktemp -d /tmp/pixelnab-markup-bench.XXXXXX)
xvfb_pid=""
stop_all() {
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""; fi
}
trap 'stop_all; rm -rf "$work"' EXIT
stop_all
exec 3>"$work/display"
setsid Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "markup bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '\n' <"$work/display")"
echo "== marking up, 7680x4320 picture: $RUNS runs" >&2
PIXELNAB_KEEP_DISPLAY=1 "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bin/markup_bench.exe" "$RUNS" "Z:${work//\//\\}" |
  awk '/^figure/ { printf "%-34s median %10s  min %10s  max %10s  runs %s\n", $2, $3, $4, $5, $6; next } { print }'
