#!/usr/bin/env bash
# The rectangle selector from the keyboard: the arrow keys place both corners (Shift
# steps by ten) and Enter presses and releases, so a 37 x 21 rectangle is taken without
# the mouse; Esc and the right button back out, taking no number.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin rectangle_keyboard

settings_clear
wallpaper_set
APP_CWD=$E2E_OUT app_start

menu c r
check "the selector covers the screen" wait_selector
# Only where the pointer starts comes from the mouse.
xdotool mousemove 200 150
sleep 0.3
# 23 right and 11 down to the first corner, then 37 right and 21 down to the second; in
# the gradient of the wallpaper one pixel off either way changes the picture.
keys shift+Right shift+Right Right Right Right shift+Down Down
keys Return
keys shift+Right shift+Right shift+Right Right Right Right Right Right Right Right
keys shift+Down shift+Down Down
keys Return
check "the selector is gone" wait_until 5 eval '! window_of_geometry 0 0 1024 768'
expect_eq "the rectangle's document" Nabbet1 "$(document_title)"
save_document "$E2E_OUT/keys"
check "the picture is 37 x 21" eval '[ "$(picture_size "$E2E_OUT/keys.bmp")" = 37x21 ]'
crop "$WALLPAPER" 223 161 37 21 "$E2E_OUT/keys-expected.png"
expect_picture "the keyboard's rectangle holds those pixels of the screen" \
  "$E2E_OUT/keys.bmp" "$E2E_OUT/keys-expected.png"

# Esc before a drag.
menu c r
check "the selector covers the screen again" wait_selector
keys Escape
check "Esc cancels the selector" wait_until 5 eval '! window_of_geometry 0 0 1024 768'
check "the frame is shown again after Esc" eval 'wait_window "^Pixelnab$" 5 >/dev/null'

# The right button in the middle of a drag.
menu c r
check "the selector covers the screen once more" wait_selector
xdotool mousemove 500 400 mousedown 1 mousemove 560 450
sleep 0.2
xdotool click 3
sleep 0.2
xdotool mouseup 1
check "the right button cancels the selector" wait_until 5 eval '! window_of_geometry 0 0 1024 768'
check "the frame is shown again after the right button" eval 'wait_window "^Pixelnab$" 5 >/dev/null'

# The count is where it was: the next capture takes the next number.
menu c r
check "the selector covers the screen a fourth time" wait_selector
drag 100 100 150 130
expect_eq "the next rectangle's document (the cancels took no number)" Nabbet2 "$(document_title)"

# A click without moving on Notepad's caption takes exactly Notepad's window, as the
# screen froze: neither the outline shown while the pointer hovered nor the loupe.
other_start
window_geometry "$OTHER_WINDOW"
drag $((WX + 200)) $((WY + 10)) $((WX + 200 + 260)) $((WY + 10 + 230))
check "Notepad moved" wait_until 5 geometry_is "$OTHER_WINDOW" 260 230 "$WW" "$WH"
ow=$((1024 - 260)) oh=$((768 - 230))
[ "$WW" -lt "$ow" ] && ow=$WW
[ "$WH" -lt "$oh" ] && oh=$WH
# Whatever Notepad shows when the screen freezes is what the click must take.
menu c r
check "the selector covers the screen for a click" wait_selector
# The bare desktop left of Notepad: no outline there, and the loupe beside the pointer.
xdotool mousemove 60 60
sleep 0.3
check "the selector has settled" wait_until 10 screen_settled
screenshot "$E2E_OUT/frozen.png"
xdotool mousemove $((260 + 200)) $((230 + 10))
sleep 0.3
xdotool click 1
check "the click closes the selector" wait_until 5 eval '! window_of_geometry 0 0 1024 768'
expect_eq "the clicked window's document" Nabbet3 "$(document_title)"
save_document "$E2E_OUT/clicked"
expect_eq "the picture is Notepad's window" "${ow}x${oh}" "$(picture_size "$E2E_OUT/clicked.bmp")"
crop "$E2E_OUT/frozen.png" 260 230 "$ow" "$oh" "$E2E_OUT/clicked-expected.png"
expect_picture "and holds the frozen screen's pixels of it" "$E2E_OUT/clicked.bmp" "$E2E_OUT/clicked-expected.png"
other_kill
