#!/usr/bin/env bash
# Exit and restart: the placement the user gave the frame with the mouse and the
# hide option are stored in the registry when the program ends (File > Exit, the
# toolbar's Exit button) and restored at the next start.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin frame_restart

settings_clear
app_start
window_geometry "$FRAME"
expect_eq "first placement" "262 167 500 433" "$WX $WY $WW $WH"

# Move the frame by its caption, then make it larger by its bottom-right corner.
drag $((WX + 150)) $((WY + 10)) $((WX + 150 - 112)) $((WY + 10 - 67))
check "the frame moved to 150, 100" wait_until 5 geometry_is "$FRAME" 150 100 500 433
drag $((150 + 500 - 2)) $((100 + 433 - 2)) $((150 + 600 - 2)) $((100 + 480 - 2))
check "the frame is now 600 x 480" wait_until 5 geometry_is "$FRAME" 150 100 600 480
menu o h
check "the hide option is off" eval '! hide_option_checked'

menu f x
check "File > Exit ends the program" app_wait_exit
expect_eq "stored Left" 2250 "$(setting_get Left)"
expect_eq "stored Top" 1500 "$(setting_get Top)"
expect_eq "stored Width" 9000 "$(setting_get Width)"
expect_eq "stored Height" 7200 "$(setting_get Height)"
expect_eq "stored HideCaptureWin" False "$(setting_get HideCaptureWin)"

app_start
window_geometry "$FRAME"
expect_eq "restored placement" "150 100 600 480" "$WX $WY $WW $WH"
check "the hide option is still off" eval '! hide_option_checked'
toolbar Hide
check "the Hide button turns it on" hide_option_checked

toolbar Exit
check "the toolbar's Exit button ends the program" app_wait_exit
expect_eq "stored HideCaptureWin" True "$(setting_get HideCaptureWin)"
expect_eq "stored Left after the second run" 2250 "$(setting_get Left)"

# Stored values that are not whole pixels come back as the nearest pixel, and a
# HideCaptureWin that is neither "True" nor "False" reads as "True".
setting_set Left 1507.5
setting_set Top 2000
setting_set Width 6000
setting_set Height 5000
setting_set HideCaptureWin false
app_start
window_geometry "$FRAME"
expect_eq "placement from hand-made settings" "100 133 400 333" "$WX $WY $WW $WH"
check "'false' reads as the hide option on" hide_option_checked
