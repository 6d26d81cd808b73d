#!/usr/bin/env bash
# Capture Screen and Capture Active Window, from the menu and the toolbar, with the
# hide option on and off. Documents are numbered Nabbet1, Nabbet2, ... and their
# pictures, saved through File > Save, are compared with the screen.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin capture_commands

settings_clear
wallpaper_set
APP_CWD=$E2E_OUT app_start

# Screen from the menu with the frame hidden: exactly the bare screen. Saving accepts
# the name the dialog suggests, the document's title, in the folder it shows.
menu c s
expect_eq "the first capture's document" Nabbet1 "$(document_title)"
check "Close, Save, Print and Copy are enabled with a document open" document_commands_are enabled
save_document
expect_picture "Capture > Screen with the frame hidden is the bare screen" "$E2E_OUT/Nabbet1.bmp" "$WALLPAPER"

# Screen from the toolbar with the frame shown: outside the frame, the bare screen;
# on it, the frame.
toolbar Hide
window_geometry "$FRAME"
toolbar Screen
expect_eq "the second capture's document" Nabbet2 "$(document_title)"
save_document "$E2E_OUT/screen-with-frame"
wait_until 10 file_complete "$E2E_OUT/screen-with-frame.bmp" || fail "no screen-with-frame.bmp"
/usr/bin/convert "$E2E_OUT/screen-with-frame.bmp" -fill black -draw "rectangle $WX,$WY $((WX + WW - 1)),$((WY + WH - 1))" "$E2E_OUT/outside.png"
/usr/bin/convert "$WALLPAPER" -fill black -draw "rectangle $WX,$WY $((WX + WW - 1)),$((WY + WH - 1))" "$E2E_OUT/outside-expected.png"
expect_picture "with the frame shown the screen around it is unchanged" "$E2E_OUT/outside.png" "$E2E_OUT/outside-expected.png"
crop "$E2E_OUT/screen-with-frame.bmp" "$WX" "$WY" "$WW" "$WH" "$E2E_OUT/frame-part.png"
crop "$WALLPAPER" "$WX" "$WY" "$WW" "$WH" "$E2E_OUT/frame-part-wallpaper.png"
differ=$(pixels_differ "$E2E_OUT/frame-part.png" "$E2E_OUT/frame-part-wallpaper.png")
check "and the frame is in the picture ($differ of $((WW * WH)) pixels differ from the bare screen)" \
  test "$differ" -gt $((WW * WH * 9 / 10))

# Active Window with the frame shown (menu and toolbar): the frame is the active
# window, so the picture is the frame's outer rectangle.
menu c a
expect_eq "the third capture's document" Nabbet3 "$(document_title)"
save_document "$E2E_OUT/active-menu"
wait_until 10 file_complete "$E2E_OUT/active-menu.bmp" || fail "no active-menu.bmp"
expect_eq "Capture > Active Window takes the frame" "${WW}x${WH}" "$(picture_size "$E2E_OUT/active-menu.bmp")"
toolbar "Active Window"
expect_eq "the fourth capture's document" Nabbet4 "$(document_title)"
save_document "$E2E_OUT/active-toolbar"
wait_until 10 file_complete "$E2E_OUT/active-toolbar.bmp" || fail "no active-toolbar.bmp"
expect_eq "the Active Window button takes the frame" "${WW}x${WH}" "$(picture_size "$E2E_OUT/active-toolbar.bmp")"

# Closing documents does not give their numbers back.
menu f c
menu w l
check "File > Close and Window > Close All leave no document" eval '! active_document_caption >/dev/null'
check "and disable the document commands" document_commands_are disabled
toolbar Screen
expect_eq "the next capture after closing everything" Nabbet5 "$(document_title)"
