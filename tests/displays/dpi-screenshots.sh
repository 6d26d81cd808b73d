#!/usr/bin/env bash
# The frame with a document at 96, 144 and 192 DPI, by hand (not part of `make test`): one
# Xvfb of 1600 x 1200, a Wine prefix of its own under BUILD/dpi with LogPixels set before
# each start, the same stored placement (in twips, so the frame keeps its size in inches)
# and the same picture opened from the command line. Writes frame-96dpi.png,
# frame-144dpi.png and frame-192dpi.png, with about-*dpi.png and picker-*dpi.png, to OUT
# (default docs/screenshots) and checks that the frame grew with the scale; look at them.
#   tests/displays/dpi-screenshots.sh BUILD_DIR [OUT]
set -u
BUILD_DIR="$(cd "${1:?usage: dpi-screenshots.sh BUILD_DIR [OUT]}" && pwd)"
SRC_DIR="$(cd "$(dirname "$0")/../.." && pwd)"
OUT="${2:-$SRC_DIR/docs/screenshots}"
WORK="$BUILD_DIR/dpi"
mkdir -p "$WORK" "$OUT"
"$SRC_DIR/tools/wine-prefix-init.sh" "$WORK" || exit 1
export WINEPREFIX="$WORK/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
APP="$BUILD_DIR/bin/Pixelnab.exe"
SETTINGS_KEY='HKCU\Software\VB and VBA Program Settings\Pixelnab\Main'
failures=0

XVFB_PID=""
cleanup() {
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
}
trap cleanup EXIT
exec 5>"$WORK/display"
setsid Xvfb -screen 0 1600x1200x24 -displayfd 5 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec 5>&-
for _ in $(seq 1 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '\n' <"$WORK/display")"

# A picture of 240 x 160: shown 1:1, it stays 240 x 160 screen pixels at every scale.
/usr/bin/convert -size 240x160 xc:'#fdf0d5' -fill '#c1121f' -draw 'circle 120,80 120,30' \
  -fill '#003049' -draw 'rectangle 20,130 220,140' "$WORK/badge.png"
badge="$(winepath -w "$WORK/badge.png" 2>/dev/null)"

for dpi in 96 144 192; do
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  # 100, 80 pixels and 600 x 440 at 96 DPI: the same inches at every scale.
  for kv in Left=1500 Top=1200 Width=9000 Height=6600; do
    wine reg add "$SETTINGS_KEY" /v "${kv%%=*}" /t REG_SZ /d "${kv#*=}" /f >/dev/null 2>&1
  done
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  wine "$APP" "$badge" >/dev/null 2>&1 &
  frame=""
  for _ in $(seq 1 60); do
    frame=$(xdotool search --onlyvisible --name '^Pixelnab' 2>/dev/null | head -1)
    [ -n "$frame" ] && break
    sleep 0.5
  done
  sleep 3
  if [ -z "$frame" ]; then
    echo "FAIL: $dpi dpi: no frame"; failures=$((failures + 1)); continue
  fi
  eval "$(xdotool getwindowgeometry --shell "$frame")"
  /usr/bin/import -window root "$WORK/screen-$dpi.png"
  /usr/bin/convert "$WORK/screen-$dpi.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/frame-${dpi}dpi.png"
  expected=$((600 * dpi / 96))
  if [ "$WIDTH" -ge $((expected - 2)) ] && [ "$WIDTH" -le $((expected + 2)) ]; then
    echo "ok: $dpi dpi: frame ${WIDTH} x ${HEIGHT} at $X,$Y: $OUT/frame-${dpi}dpi.png"
  else
    echo "FAIL: $dpi dpi: frame ${WIDTH} px wide, expected about $expected"; failures=$((failures + 1))
  fi
  # The About box and the window picker, opened from the keyboard (see WINE-NOTES: a nudge
  # after each key in a menu).
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - HEIGHT / 4)) click 1; sleep 0.5
  shoot_window() {  # shoot_window TITLE NAME
    local window=""
    for _ in $(seq 1 20); do
      window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
      [ -n "$window" ] && break
      sleep 0.5
    done
    if [ -z "$window" ]; then
      echo "FAIL: $dpi dpi: no window '$1'"; failures=$((failures + 1)); return
    fi
    sleep 1.5
    eval "$(xdotool getwindowgeometry --shell "$window")"
    /usr/bin/import -window root "$WORK/screen-$dpi.png"
    /usr/bin/convert "$WORK/screen-$dpi.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/$2-${dpi}dpi.png"
    echo "ok: $dpi dpi: $2 ${WIDTH} x ${HEIGHT}: $OUT/$2-${dpi}dpi.png"
  }
  nudge() { xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0; }
  xdotool key alt+h; nudge; sleep 0.7; xdotool key a; nudge
  shoot_window '^About Pixelnab$' about
  xdotool key Escape; sleep 1
  xdotool key alt+c; nudge; sleep 0.7; xdotool key w; nudge
  shoot_window '^Capture Selected Window$' picker
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
done
echo "$failures check(s) failed"
[ "$failures" = 0 ]
