#!/usr/bin/env bash
# `make bench`: for each screen size, a private Xvfb of that size and a fresh Wine server;
# the benchmark program's figures and ImageMagick's for the same file work, measured in the
# same run; then everything is stopped again and one table is printed.
# Usage: bench/run-bench.sh BUILD_DIR [SIZES...]   (default: 1920x1080 3840x2160 7680x4320)
set -u
BUILD_DIR="$1"; shift
SIZES=("$@"); [ ${#SIZES[@]} -eq 0 ] && SIZES=(1920x1080 3840x2160 7680x4320)
HERE="$(cd "$(dirname "$0")" && pwd)"
CONVERT=/usr/bin/convert
export WINEPREFIX="$BUILD_DIR/wineprefix"
work=$(mktemp -d /tmp/pixelnab-bench.XXXXXX)
results="$work/results.txt"
: >"$results"
xvfb_pid=""

stop_all() {
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""; fi
}
trap 'stop_all; restore_theme; rm -rf "$work"' EXIT

# Median, minimum and maximum (ms) of a command run n times.
time_command() {
  local name="$1" n="$2"; shift 2
  local samples=()
  for _ in $(seq 1 "$n"); do
    local start end
    start=$(date +%s%N); "$@" >/dev/null 2>&1; end=$(date +%s%N)
    samples+=("$(( (end - start) / 1000 ))")
  done
  printf '%s\n' "${samples[@]}" | sort -n | awk -v name="$name" '
    { v[NR] = $1 / 1000.0 }
    END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
          printf "figure %s %.3f %.3f %.3f %d\n", name, m, v[1], v[NR], NR }'
}

# BENCH_CLASSIC=1: the same run with Wine's visual style (the Light theme of a new prefix)
# turned off for its length, to show what the program costs apart from Wine's drawing of
# themed controls (a themed scroll bar takes Wine some 4-9 ms to paint, a classic one 0.3).
theme_key='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
theme_was=""
if [ "${BENCH_CLASSIC:-0}" = 1 ]; then
  theme_was=$(wine reg query "$theme_key" /v ThemeActive 2>/dev/null | awk '/ThemeActive/ { print $3 }')
  wine reg add "$theme_key" /v ThemeActive /d 0 /f >/dev/null 2>&1
  wineserver -w
  echo "== classic look (visual style off for this run)" >&2
fi
restore_theme() {
  if [ -n "$theme_was" ]; then
    wine reg add "$theme_key" /v ThemeActive /d "$theme_was" /f >/dev/null 2>&1
    wineserver -w
    theme_was=""
  fi
}

for size in "${SIZES[@]}"; do
  w=${size%x*}; h=${size#*x}
  case "$size" in
    1920x1080) runs=${BENCH_RUNS:-15}; docs=6 ;;
    3840x2160) runs=${BENCH_RUNS:-9}; docs=4 ;;
    *)         runs=${BENCH_RUNS:-5}; docs=2 ;;
  esac
  echo "== $size: $runs runs" >&2
  # Test pictures of the screen's size: a gradient under a checkerboard, as BMP and JPEG,
  # and ImageMagick's own memory-mapped cache of it for its save figure.
  "$CONVERT" -size "${w}x${h}" gradient:navy-orange \( -size "${w}x${h}" pattern:checkerboard \) \
    -compose multiply -composite -type TrueColor "$work/picture.bmp"
  "$CONVERT" "$work/picture.bmp" -quality 90 "$work/picture.jpg"
  "$CONVERT" "$work/picture.bmp" "$work/picture.mpc"
  mkdir -p "$work/saved"

  stop_all
  fd_file="$work/display"; : >"$fd_file"
  exec 3>"$fd_file"
  setsid Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 1 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
  if [ ! -s "$fd_file" ]; then echo "bench: Xvfb $size did not start" >&2; exit 1; fi
  export DISPLAY=":$(tr -d '\n' <"$fd_file")"

  {
    echo "size $size"
    PIXELNAB_KEEP_DISPLAY=1 "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bin/pixelnab_bench.exe" "$runs" \
      "Z:${work//\//\\}\\picture.bmp" "Z:${work//\//\\}\\picture.jpg" "Z:${work//\//\\}\\saved" "$docs"
    time_command im_open_bmp "$runs" "$CONVERT" "$work/picture.bmp" null:
    time_command im_open_jpeg "$runs" "$CONVERT" "$work/picture.jpg" null:
    time_command im_save_bmp "$runs" "$CONVERT" "$work/picture.mpc" "$work/saved/im.bmp"
  } | tee -a "$results" | grep -v '^figure' >&2
  stop_all
  rm -f "$work"/picture.* "$work/saved"/*
done

restore_theme
python3 "$HERE/bench_table.py" "$results"
