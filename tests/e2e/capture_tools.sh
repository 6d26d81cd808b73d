#!/usr/bin/env bash
# Capture Rectangle and Capture Window, from the menu and the toolbar, with the
# selection made by the mouse: a rectangle dragged out on the frozen screen (both
# ways), a cancelled selection, and windows picked by dragging the picker's icon.
# The documents' pictures are checked through the files File > Save writes.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin capture_tools

settings_clear
wallpaper_set
APP_CWD=$E2E_OUT app_start

# Rectangle from the menu, dragged down and to the right, with the frame hidden.
menu c r
check "the selector covers the screen" wait_selector
drag 100 100 300 200
check "the selector is gone" wait_until 5 eval '! window_of_geometry 0 0 1024 768'
expect_eq "the rectangle's document" Nabbet1 "$(document_title)"
save_document "$E2E_OUT/rect1"
crop "$WALLPAPER" 100 100 200 100 "$E2E_OUT/rect1-expected.png"
expect_picture "a 200 x 100 rectangle holds those pixels of the screen" "$E2E_OUT/rect1.bmp" "$E2E_OUT/rect1-expected.png"

# Rectangle from the toolbar, cancelled by Shift: no document, the frame comes back.
toolbar Rectangle
check "the selector covers the screen again" wait_selector
xdotool mousemove 500 400 mousedown 1 mousemove 560 450
keys shift
xdotool mouseup 1
check "Shift cancels the selector" wait_until 5 eval '! window_of_geometry 0 0 1024 768'
check "the frame is shown again" eval 'wait_window "^Pixelnab$" 5 >/dev/null'
expect_eq "still the active document after a cancel" Nabbet1 "$(document_title)"

# Rectangle from the toolbar, dragged up and to the left of where it started.
toolbar Rectangle
check "the selector covers the screen once more" wait_selector
drag 500 400 380 330
expect_eq "the next rectangle's document (a cancel takes no number)" Nabbet2 "$(document_title)"
save_document "$E2E_OUT/rect2"
crop "$WALLPAPER" 380 330 120 70 "$E2E_OUT/rect2-expected.png"
expect_picture "a rectangle dragged up and left holds the same pixels as one dragged down and right" \
  "$E2E_OUT/rect2.bmp" "$E2E_OUT/rect2-expected.png"

# Window from the menu, with the frame hidden: the picker's icon dropped on another
# program's window (Notepad's caption) picks that window. Its picture is the window's
# rectangle on the screen; inside the 3-pixel band where the picker framed it, and
# below its caption (whose colour follows the activation), it holds the very pixels
# the screen showed before.
other_start
window_geometry "$OTHER_WINDOW"
drag $((WX + 200)) $((WY + 10)) $((WX + 200 + 260)) $((WY + 10 + 230))
check "Notepad moved out of the picker's way" wait_until 5 geometry_is "$OTHER_WINDOW" 260 230 "$WW" "$WH"
ow=$((1024 - 260)) oh=$((768 - 230))
[ "$WW" -lt "$ow" ] && ow=$WW
[ "$WH" -lt "$oh" ] && oh=$WH
check "Notepad has painted where it now is" wait_until 10 screen_settled
screenshot "$E2E_OUT/before-notepad.png"
menu c w
picker=$(wait_window '^Capture Selected Window$') || fail "Capture > Window showed no picker"
window_geometry "$picker"
drag $((WX + PICKER_ICON_X)) $((WY + PICKER_ICON_Y)) 600 240
check "the picker closes after the pick" wait_window_gone '^Capture Selected Window$'
expect_eq "the picked window's document" Nabbet3 "$(document_title)"
save_document "$E2E_OUT/notepad"
wait_until 10 file_complete "$E2E_OUT/notepad.bmp" || fail "no notepad.bmp"
expect_eq "the picture is Notepad's window, cut at the screen's edges" "${ow}x${oh}" "$(picture_size "$E2E_OUT/notepad.bmp")"
crop "$E2E_OUT/notepad.bmp" 3 40 $((ow - 6)) $((oh - 43)) "$E2E_OUT/notepad-inside.png"
crop "$E2E_OUT/before-notepad.png" $((260 + 3)) $((230 + 40)) $((ow - 6)) $((oh - 43)) "$E2E_OUT/notepad-expected.png"
# Notepad's caret blinks at the start of its empty text, and only while it has the focus
# (it has not while the picker is up): that corner is left out of both.
for f in notepad-inside notepad-expected; do
  /usr/bin/convert "$E2E_OUT/$f.png" -fill white -draw 'rectangle 0,0 24,32' "$E2E_OUT/$f.png"
done
expect_picture "and it shows what Notepad showed" "$E2E_OUT/notepad-inside.png" "$E2E_OUT/notepad-expected.png"
other_kill

# Window from the toolbar, with the frame shown: while the picker is open the frame is
# disabled (the picker is modal), so a point anywhere on it, here its toolbar away
# from the buttons, picks the frame itself.
toolbar Hide
check "the hide option is off" eval '! hide_option_checked'
check "the frame has painted" wait_until 10 screen_settled
screenshot "$E2E_OUT/before-frame.png"
window_geometry "$FRAME"
fx=$WX fy=$WY fw=$WW fh=$WH
toolbar Window
picker=$(wait_window '^Capture Selected Window$') || fail "the toolbar's Window button showed no picker"
window_geometry "$picker"
drag $((WX + PICKER_ICON_X)) $((WY + PICKER_ICON_Y)) $((fx + 420)) $((fy + TOOLBAR_Y))
check "the picker closes after the pick" wait_window_gone '^Capture Selected Window$'
expect_eq "the picked frame's document" Nabbet4 "$(document_title)"
save_document "$E2E_OUT/frame"
wait_until 10 file_complete "$E2E_OUT/frame.bmp" || fail "no frame.bmp"
expect_eq "the picture is the frame's outer rectangle" "${fw}x${fh}" "$(picture_size "$E2E_OUT/frame.bmp")"
# Its menu bar and toolbar, between the caption and the documents, as they were.
crop "$E2E_OUT/frame.bmp" 4 24 $((fw - 8)) 42 "$E2E_OUT/frame-bars.png"
crop "$E2E_OUT/before-frame.png" $((fx + 4)) $((fy + 24)) $((fw - 8)) 42 "$E2E_OUT/frame-bars-expected.png"
expect_picture "and it shows the frame's menu bar and toolbar" "$E2E_OUT/frame-bars.png" "$E2E_OUT/frame-bars-expected.png"
