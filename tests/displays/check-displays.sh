#!/usr/bin/env bash
# Pixelnab on displays other than the suite's one screen at 96 DPI, by hand (not part of
# `make test`): a 3840 x 2160 Xvfb at 192 and 144 DPI, then two monitors (Xephyr with two
# screens inside that Xvfb). Uses a Wine prefix of its own under BUILD/displays, so the
# suite's prefix and display are never touched. Drives the real program with xdotool and
# compares what it copies to the clipboard with the display, pixel for pixel.
#   tests/displays/check-displays.sh BUILD_DIR
set -u
BUILD_DIR="$(cd "${1:?usage: check-displays.sh BUILD_DIR}" && pwd)"
SRC_DIR="$(cd "$(dirname "$0")/../.." && pwd)"
WORK="$BUILD_DIR/displays"
mkdir -p "$WORK"
"$SRC_DIR/tools/wine-prefix-init.sh" "$WORK" || exit 1
export WINEPREFIX="$WORK/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
APP="$BUILD_DIR/bin/Pixelnab.exe" PATTERN="$BUILD_DIR/bin/pattern_window.exe"
failures=0

# start_server runs in a command substitution (a subshell): the servers' ids go to a file.
SERVER_PIDS="$WORK/servers.pids"
: >"$SERVER_PIDS"
cleanup() {
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  local pid; while read -r pid; do kill "$pid" 2>/dev/null; done <"$SERVER_PIDS"
}
trap cleanup EXIT

start_server() {  # start_server PROGRAM ARGS...: prints the display number
  local file="$WORK/server.display"; rm -f "$file"
  exec 5>"$file"
  setsid "$@" -displayfd 5 -nolisten tcp >>"$WORK/servers.log" 2>&1 &
  echo $! >>"$SERVER_PIDS"
  exec 5>&-
  for _ in $(seq 1 100); do [ -s "$file" ] && break; sleep 0.1; done
  tr -d '\n' <"$file"
}
restart_wine() {  # restart_wine DPI
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
}
nudge() { xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0; }
command_keys() {  # command_keys MENU_KEY ITEM_KEY, after a click into the frame at X Y
  xdotool mousemove "$3" "$4" click 1; sleep 0.5
  xdotool key "alt+$1"; nudge; sleep 0.7; xdotool key "$2"; nudge; sleep 3
}
drag() {
  local x1=$1 y1=$2 x2=$3 y2=$4 i
  xdotool mousemove "$x1" "$y1"; sleep 0.3; xdotool mousedown 1; sleep 0.3
  for i in $(seq 1 8); do xdotool mousemove $((x1 + (x2 - x1) * i / 8)) $((y1 + (y2 - y1) * i / 8)); sleep 0.1; done
  sleep 0.8; /usr/bin/import -window root "$WORK/$5-during.png"; xdotool mouseup 1; sleep 4
}
clipboard_to() {  # clipboard_to NAME: Ctrl+C in the frame, the clipboard's bitmap to NAME.bmp
  xdotool key ctrl+c; sleep 2
  timeout 10 xclip -selection clipboard -t image/bmp -o >"$WORK/$1.bmp" 2>/dev/null
}
expect_same() {  # expect_same WHAT NAME REFERENCE W H X Y
  local size differ
  /usr/bin/convert "$3" -crop "$4x$5+$6+$7" +repage "$WORK/$2-expected.png"
  size=$(/usr/bin/identify -format '%wx%h' "$WORK/$2.bmp" 2>/dev/null)
  differ=$(/usr/bin/compare -metric AE "$WORK/$2.bmp" "$WORK/$2-expected.png" null: 2>&1)
  if [ "$size" = "$4x$5" ] && [ "$differ" = 0 ]; then
    echo "ok: $1: $size, 0 pixels differ"
  else
    echo "FAIL: $1: picture $size (expected $4x$5), $differ pixels differ"; failures=$((failures + 1))
  fi
}

# The selector's window tests on this display: the loupe at the monitor's zoom, the
# keyboard's rectangle, the click on a bare monitor, the cancels and Last Rectangle
# after a restart.
selector_tests() {  # selector_tests LABEL
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  local filter='DisplaysTest.SelectorLoupeKeys*:SelectorTest.EscAndTheRightButton*'
  filter+=':CaptureToolCommandsTest.LastRectangle*'
  wine "$BUILD_DIR/bin/pixelnab_tests.exe" --gtest_filter="$filter" >"$WORK/selector-tests-${1// /-}.log" 2>&1 &&
    echo "ok: $1: selector window tests ($(grep -c '^\[       OK' "$WORK/selector-tests-${1// /-}.log") passed)" ||
    { echo "FAIL: $1: selector window tests (see $WORK/selector-tests-${1// /-}.log)"; failures=$((failures + 1)); }
}

# --- One 3840 x 2160 screen at 192 and at 144 DPI
export DISPLAY=":$(start_server Xvfb -screen 0 3840x2160x24 -noreset)"
for dpi in 192 144; do
  restart_wine "$dpi"
  wine "$PATTERN" 2000 1200 700 500 120 >/dev/null 2>&1 &
  sleep 4
  /usr/bin/import -window root "$WORK/before-$dpi.png"
  wine "$APP" >/dev/null 2>&1 &
  sleep 6
  command_keys c s 1900 1300
  clipboard_to "screen-$dpi"
  expect_same "$dpi dpi: Capture Screen is the whole display" "screen-$dpi" "$WORK/before-$dpi.png" 3840 2160 0 0
  command_keys c r 1900 1300
  drag 2111 1303 2412 1454 "rect-$dpi"
  clipboard_to "rect-$dpi"
  expect_same "$dpi dpi: a rectangle dragged from 2111,1303 to 2412,1454" "rect-$dpi" "$WORK/before-$dpi.png" 301 151 2111 1303
  /usr/bin/convert "$WORK/rect-$dpi-during.png" -crop 500x300+2000+1220 +repage "$WORK/readout-$dpi.png"
  echo "   the readout while dragging (should say 301 x 151): $WORK/readout-$dpi.png"
  selector_tests "$dpi dpi"
done

# --- Two monitors: 1280 x 1024 and 1024 x 768 to its right, at 96 DPI
restart_wine 96
export DISPLAY=":$(DISPLAY=$DISPLAY start_server Xephyr +xinerama -extension RANDR -screen 1280x1024 -screen 1024x768)"
sleep 2
wine "$PATTERN" 1500 150 500 400 120 >/dev/null 2>&1 &
sleep 5
/usr/bin/import -window root "$WORK/before-two.png"
wine "$APP" >/dev/null 2>&1 &
sleep 6
command_keys c w 640 600
picker=$(xdotool search --onlyvisible --name '^Capture Selected Window$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$picker")"
drag $((X + 123)) $((Y + 80)) 1750 350 pick
clipboard_to window-two
expect_same "two monitors: Window picks the pattern window on the second monitor" window-two "$WORK/before-two.png" 500 400 1500 150
command_keys c r 640 600
drag 1100 200 1601 451 edge
clipboard_to edge-two
expect_same "two monitors: a rectangle across the monitors' edge" edge-two "$WORK/before-two.png" 501 251 1100 200
# Active Window needs a window that takes the activation: the window tests do it.
wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
wine "$BUILD_DIR/bin/pixelnab_tests.exe" --gtest_filter='DisplaysTest.ActiveWindowAndWindowOnASecondMonitor*' \
  >"$WORK/two-monitor-tests.log" 2>&1 && echo "ok: two monitors: Active Window and Window window tests" ||
  { echo "FAIL: two monitors: window tests (see $WORK/two-monitor-tests.log)"; failures=$((failures + 1)); }
selector_tests "two monitors"
echo "$failures check(s) failed"
[ "$failures" = 0 ]
