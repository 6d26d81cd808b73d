#!/usr/bin/env bash
# Looking at a large picture: a 4000 x 3000 bitmap opened; three wheel notches scroll it
# by exactly three notches' distance; the zoom keys, Actual Size and Fit to Window show it
# at the expected scale (pixels read from the screen); switching to another document and
# back keeps the position.
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/lib_pixels.sh"
e2e_begin view_large_picture

view() { python3 "$E2E_DIR/view_pixels.py" "$@"; }
log "writing the test pictures"
# The expected colours come from the pattern's one definition, in pattern_window.exe.
export VIEW_PATTERN="$E2E_OUT/pattern-4000x3000.ppm"
"$WINE_RUN" "$PATTERN_EXE" --ppm 4000 3000 </dev/null >"$VIEW_PATTERN" 2>>"$E2E_OUT/pattern.log" ||
  fail "the pattern helper wrote no pattern"
"$WINE_RUN" "$PATTERN_EXE" --ppm 300 200 </dev/null >"$E2E_OUT/pattern-300x200.ppm" 2>>"$E2E_OUT/pattern.log" ||
  fail "the pattern helper wrote no pattern"
view bmp "$E2E_OUT/large.bmp" "$VIEW_PATTERN"
view bmp "$E2E_OUT/small.bmp" "$E2E_OUT/pattern-300x200.ppm"

# A wheel notch scrolls the system's lines per notch (3 unless set), 20 pixels a line.
LINES=$("$WINE_RUN" reg query 'HKCU\Control Panel\Desktop' /v WheelScrollLines 2>/dev/null | tr -d '\r' |
  awk '$1 == "WheelScrollLines" { print $3 }')
NOTCH=$(( ${LINES:-3} * 20 ))
log "one notch is $NOTCH pixels"

# VX, VY: the viewport's top-left corner on the screen, where picture pixel (0, 0) shows.
find_origin() {
  screen_ppm "$E2E_OUT/.view.ppm"
  read -r VX VY < <(view origin "$E2E_OUT/.view.ppm") && [ -n "${VX:-}" ]
}
# view_is ZOOM OX OY: the viewport's top-left 100 x 100 pixels show the picture at ZOOM,
# scrolled by OX, OY screen pixels.
view_is() {
  screen_ppm "$E2E_OUT/.view.ppm"
  [ "$(view scaled "$E2E_OUT/.view.ppm" "$VX" "$VY" 100 100 "$1" "$2" "$3")" == 0 ]
}
wheel_down() {
  local i
  for i in $(seq "$1"); do xdotool click 5; sleep 0.1; done
  sleep 0.3
}

settings_clear
app_start
open_file "$E2E_OUT/large.bmp"
check "the picture is shown at 100 %" wait_until 10 find_origin
log "viewport at $VX,$VY"
check "its top-left corner first" view_is 1 0 0

# Focus the document with a click on its picture, then turn the wheel with the pointer over it.
xdotool mousemove $((VX + 60)) $((VY + 60)) click 1
sleep 0.3
wheel_down 3
check "three notches scroll by three times $NOTCH pixels" wait_until 5 view_is 1 0 $((3 * NOTCH))

keys ctrl+equal
keys ctrl+KP_Add
keys ctrl+Home
check "Zoom In twice (Ctrl+Plus, keypad +): 200 %, square pixels" wait_until 5 view_is 2 0 0
keys ctrl+0
check "Ctrl+0: 100 % again" wait_until 5 view_is 1 0 0
keys ctrl+equal ctrl+equal ctrl+minus ctrl+KP_Subtract
keys ctrl+Home
check "Zoom Out twice (Ctrl+Minus, keypad -) after two steps in: 100 %" wait_until 5 view_is 1 0 0

menu v f
sleep 0.5
read -r FW FH < <(screen_ppm "$E2E_OUT/.view.ppm"; view extent "$E2E_OUT/.view.ppm" "$VX" "$VY")
log "fitted picture: ${FW} x ${FH}"
check "Fit to Window shrinks the picture" test "$FW" -lt 4000 -a "$FH" -lt 3000 -a "$FW" -gt 50
check "keeping its 4:3 shape" test $(( (FW * 3 - FH * 4) * (FW * 3 - FH * 4) )) -le 16
wheel_down 3
read -r AW AH < <(screen_ppm "$E2E_OUT/.view.ppm"; view extent "$E2E_OUT/.view.ppm" "$VX" "$VY")
expect_eq "the whole picture is visible: the wheel has nothing to scroll" "$FW $FH" "$AW $AH"

keys ctrl+0
keys ctrl+Home
wheel_down 3
check "Ctrl+0 after Fit: 100 %, scrolled three notches" wait_until 5 view_is 1 0 $((3 * NOTCH))

open_file "$E2E_OUT/small.bmp"
check "a second document opens over the first" wait_until 10 eval '! view_is 1 0 $((3 * NOTCH))'
keys ctrl+F6
check "back at the large picture: where it was left" wait_until 5 view_is 1 0 $((3 * NOTCH))
rm -f "$E2E_OUT/large.bmp" "$E2E_OUT/small.bmp"  # 34 MB of pattern, made again by each run
