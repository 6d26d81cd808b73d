#!/usr/bin/env bash
# The README's pictures, taken from the real program: the frame with documents and its
# Capture menu open, the rectangle selector in the middle of a drag, the window picker
# and the About box. Each is checked for size and written to $BUILD_DIR/e2e/screenshots;
# `make screenshots` runs this with SCREENSHOTS_DIR=docs/screenshots to refresh them.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin readme_screenshots
SHOTS="${SCREENSHOTS_DIR:-$E2E_OUT/png}"
mkdir -p "$SHOTS"

settings_clear
wallpaper_set
# A roomier frame than the first-start default: 600 x 440 pixels at 212, 164.
setting_set Left 3180
setting_set Top 2460
setting_set Width 9000
setting_set Height 6600
APP_CWD=$E2E_OUT app_start
window_geometry "$FRAME"
expect_eq "the frame where the settings put it" "212 164 600 440" "$WX $WY $WW $WH"

# keep NAME X Y W H: a part of the screen as docs picture NAME.png.
keep() {
  screenshot "$E2E_OUT/.screen.png"
  crop "$E2E_OUT/.screen.png" "$2" "$3" "$4" "$5" "$SHOTS/$1.png"
  expect_eq "$1.png" "${4}x${5}" "$(picture_size "$SHOTS/$1.png")"
}

# The selector halfway through a drag: the band and its size readout on the frozen screen.
menu c r
check "the selector covers the screen" wait_selector
xdotool mousemove 560 120 mousedown 1
sleep 0.2
for step in 1 2 3 4 5 6; do xdotool mousemove $((560 + step * 40)) $((120 + step * 25)); sleep 0.05; done
sleep 0.5
keep rectangle-selector 480 60 440 300
xdotool mouseup 1
expect_eq "the rectangle's document" Nabbet1 "$(document_title)"

# Two more documents: the whole screen and a file opened from disk.
menu c s
expect_eq "the screen's document" Nabbet2 "$(document_title)"
/usr/bin/convert -size 160x120 xc:'#fdf0d5' -fill '#c1121f' -draw 'circle 80,60 80,20' \
  -fill '#003049' -draw 'rectangle 20,95 140,105' "$E2E_OUT/badge.gif"
open_file "$E2E_OUT/badge.gif"
expect_eq "the opened file's document" badge.gif "$(document_title)"
menu w c
sleep 0.5
keep main-window "$WX" "$WY" "$WW" "$WH"

# The Capture menu, opened with the mouse.
menu_shot Capture
cp "$MENU_SHOT" "$E2E_OUT/.menu.png"
crop "$E2E_OUT/.menu.png" "$WX" "$WY" 420 200 "$SHOTS/capture-menu.png"
expect_eq "capture-menu.png" 420x200 "$(picture_size "$SHOTS/capture-menu.png")"
menu_close

# The window picker, with the frame shown behind it.
toolbar Hide
toolbar Window
picker=$(wait_window '^Capture Selected Window$') || fail "no window picker"
sleep 0.3
window_geometry "$picker"
keep window-picker "$WX" "$WY" "$WW" "$WH"
keys alt+F4
wait_window_gone '^Capture Selected Window$' || fail "the picker did not close"

# The About box.
toolbar About
about=$(wait_window '^About Pixelnab$') || fail "no About box"
sleep 0.3
window_geometry "$about"
keep about "$WX" "$WY" "$WW" "$WH"
keys Return
wait_window_gone '^About Pixelnab$' || fail "the About box did not close"
log "pictures in $SHOTS: $(cd "$SHOTS" && ls *.png | tr '\n' ' ')"
