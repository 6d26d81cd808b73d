# Pixel-exact checks for the capture scenarios, sourced after lib.sh:
#   source "$(dirname "$0")/lib.sh" "$1"; source "$(dirname "$0")/lib_pixels.sh"
# A helper program (pattern_window.exe, built with the tests) shows a window whose every
# pixel is different, so a document's copy of it can be found on the screen and compared
# pixel by pixel with what was selected. The same program writes the expected colours
# (PATTERN_PPM), so no script here computes one.

PATTERN_EXE="${PATTERN_EXE:-$BUILD_DIR/bin/pattern_window.exe}"
PATTERN_RUNNER=""
PATTERN_X=0 PATTERN_Y=0 PATTERN_W=0 PATTERN_H=0
PATTERN_PPM=""

# pattern_start X Y W H: shows the pattern window (above ordinary windows, never active).
pattern_start() {
  [ -f "$PATTERN_EXE" ] || fail "no pattern window helper at $PATTERN_EXE"
  PATTERN_X=$1 PATTERN_Y=$2 PATTERN_W=$3 PATTERN_H=$4
  # One pixel more each way: the checks look just past a copy's right and bottom edges.
  PATTERN_PPM="$E2E_OUT/pattern-expected.ppm"
  "$WINE_RUN" "$PATTERN_EXE" --ppm $((PATTERN_W + 1)) $((PATTERN_H + 1)) </dev/null >"$PATTERN_PPM" \
    2>>"$E2E_OUT/pattern.log" || fail "the pattern window helper wrote no expected pattern"
  # It closes itself after 300 s should the scenario never stop it.
  "$WINE_RUN" "$PATTERN_EXE" "$@" 300 </dev/null >>"$E2E_OUT/pattern.log" 2>&1 &
  PATTERN_RUNNER=$!
  wait_window '^Pixelnab pattern$' >/dev/null || fail "the pattern window did not appear"
  sleep 0.5
}

# Ends the pattern window's process (the one this scenario started, by its id).
pattern_stop() {
  [ -n "$PATTERN_RUNNER" ] || return 0
  local child
  for child in $(pgrep -P "$PATTERN_RUNNER"); do kill "$child" 2>/dev/null; done
  wait "$PATTERN_RUNNER" 2>/dev/null
  PATTERN_RUNNER=""
}

# pattern_place FX FY FW FH: sets PLACE_X, PLACE_Y to a screen corner where a W x H
# pattern window clears the given rectangle (the frame) and the top-left corner, where
# new windows open.
pattern_place() {
  local fx=$1 fy=$2 fw=$3 fh=$4 w=$5 h=$6 corner cx cy
  for corner in "$((1024 - w - 24)) $((768 - h - 18))" "$((1024 - w - 24)) 18" "18 $((768 - h - 18))"; do
    read -r cx cy <<<"$corner"
    if [ $((cx + w)) -le "$fx" ] || [ "$cx" -ge $((fx + fw)) ] || [ $((cy + h)) -le "$fy" ] || [ "$cy" -ge $((fy + fh)) ]; then
      PLACE_X=$cx PLACE_Y=$cy
      return 0
    fi
  done
  return 1
}

# screen_ppm FILE: the screen as an 8-bit binary PPM, for pixels.py.
screen_ppm() { /usr/bin/import -window root -depth 8 "$1"; }

pixels() { python3 "$E2E_DIR/pixels.py" "$@"; }

# pattern_copies FILE PX PY: prints "X Y" for every screen pixel outside the pattern
# window that has the colour of the pattern's pixel (PX, PY).
pattern_copies() {
  local shot=$1 px=$2 py=$3
  pixels find "$shot" $(pixels pixel "$PATTERN_PPM" "$px" "$py") |
    awk -v x0="$PATTERN_X" -v y0="$PATTERN_Y" -v w="$PATTERN_W" -v h="$PATTERN_H" \
      '!($1 >= x0 && $1 < x0 + w && $2 >= y0 && $2 < y0 + h)'
}

# wait_pattern_copy FILE PX PY: waits until the pattern's pixel (PX, PY) shows exactly
# once outside the pattern window (a document's copy of it); sets COPY_X, COPY_Y.
wait_pattern_copy() {
  local shot=$1 px=$2 py=$3 found=()
  for _ in $(seq 1 "$E2E_TIMEOUT"); do
    sleep 1
    screen_ppm "$shot"
    mapfile -t found < <(pattern_copies "$shot" "$px" "$py")
    if [ "${#found[@]}" = 1 ]; then
      read -r COPY_X COPY_Y <<<"${found[0]}"
      return 0
    fi
  done
  fail "the pattern's pixel $px,$py shows ${#found[@]} times outside the pattern window"
}

# check_pattern_copy FILE X Y PX PY W H WHAT: the screen at (X, Y) shows exactly W x H
# pixels of the pattern from (PX, PY): all equal, and the pixels just right of and just
# below that area are no longer the pattern's, so the copy is no larger either.
check_pattern_copy() {
  local shot=$1 x=$2 y=$3 px=$4 py=$5 w=$6 h=$7 what=$8 differ right below
  differ=$(pixels pattern "$shot" "$PATTERN_PPM" "$x" "$y" "$px" "$py" "$w" "$h")
  [ "$differ" = 0 ] || fail "$what: $differ of $((w * h)) pixels differ from the selection"
  right=$(pixels pattern "$shot" "$PATTERN_PPM" $((x + w)) $((y + h / 2)) $((px + w)) $((py + h / 2)) 1 1)
  below=$(pixels pattern "$shot" "$PATTERN_PPM" $((x + w / 2)) $((y + h)) $((px + w / 2)) $((py + h)) 1 1)
  [ "$right" = 1 ] && [ "$below" = 1 ] || fail "$what: the copy is larger than $w x $h"
  log "ok: $what: the $w x $h pixels at $x,$y equal the selection"
}

# selector_over_pattern: the frozen screen lies above the pattern window, so that a drag
# on the pattern reaches the selector. With no window manager, Wine stacks the X windows
# of two programs by itself: when the helper program's X window is restacked after the
# selector's appeared (seen under load, 2 runs in 15), it is put above everything, the
# selector included, where Windows keeps the topmost window shown last. The selector is
# then raised as Windows would have it.
selector_over_pattern() {
  local selector under
  selector=$(window_of_geometry 0 0 1024 768) || fail "no selector to drag on"
  xdotool mousemove $((PATTERN_X + PATTERN_W / 2)) $((PATTERN_Y + PATTERN_H / 2))
  under=$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')
  if [ "$under" != "$selector" ]; then
    log "the pattern window lies above the selector in X; raising the selector"
    xdotool windowraise "$selector"
    wait_until 5 eval '[ "$(xdotool getmouselocation --shell | sed -n "s/^WINDOW=//p")" = "$selector" ]' ||
      fail "the selector stays below the pattern window"
  fi
}

# slow_drag X1 Y1 X2 Y2 [STEPS]: like drag, with pauses around the press and between the
# steps, so that a program that takes the pointer capture on the press (the window
# picker) has it before the pointer travels.
slow_drag() {
  local x1=$1 y1=$2 x2=$3 y2=$4 steps=${5:-12} i
  xdotool mousemove "$x1" "$y1"
  sleep 0.3
  xdotool mousedown 1
  sleep 0.3
  for i in $(seq 1 "$steps"); do
    xdotool mousemove $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps))
    sleep 0.08
  done
  sleep 0.3
  xdotool mouseup 1
  sleep 0.2
}

# window_closed WIN: the X window WIN has been destroyed or unmapped (hidden).
window_closed() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 0
  grep -q 'IsUnMapped' <<<"$info"
}
