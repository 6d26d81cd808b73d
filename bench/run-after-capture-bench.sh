#!/usr/bin/env bash
# `make bench`, After Capture: on a private Xvfb of 3840x2160 and a fresh Wine server, Capture
# Screen with and without "Save automatically" as PNG, then 20 captures back to back.
# Usage: bench/run-after-capture-bench.sh BUILD_DIR [SIZE]
set -u
BUILD_DIR="$1"
SIZE="${2:-3840x2160}"
export WINEPREFIX="$BUILD_DIR/wineprefix"
work=$(mktemp -d /tmp/pixelnab-after-capture.XXXXXX)
xvfb_pid=""
stop_all() {
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""; fi
}
trap 'stop_all; rm -rf "$work"' EXIT
stop_all
fd_file="$work/display"; : >"$fd_file"
exec 3>"$fd_file"
setsid Xvfb -displayfd 3 -screen 0 "${SIZE}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
[ -s "$fd_file" ] || { echo "bench: Xvfb $SIZE did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '\n' <"$fd_file")"
mkdir -p "$work/saved"
echo "== After Capture at $SIZE" >&2
PIXELNAB_KEEP_DISPLAY=1 "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bin/after_capture_bench.exe" "${BENCH_RUNS:-9}" \
  "Z:${work//\//\\}\\saved" 20
