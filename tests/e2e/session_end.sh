#!/usr/bin/env bash
# The end of the Windows session while Pixelnab runs: the placement and the options are
# stored as File > Exit stores them, and the program ends. Wine's
# `wineboot --end-session` sends WM_QUERYENDSESSION and WM_ENDSESSION to every window.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin session_end

settings_clear
app_start
window_geometry "$FRAME"
drag $((WX + 150)) $((WY + 10)) $((WX + 150 - 112)) $((WY + 10 - 67))
check "the frame moved to 150, 100" wait_until 5 geometry_is "$FRAME" 150 100 500 433
menu o h
check "the hide option is off" eval '! hide_option_checked'

# The user logs off.
WINEDEBUG=-all wineboot --end-session >>"$E2E_OUT/program.log" 2>&1
check "the program ends with the session" app_wait_exit
expect_eq "stored Left" 2250 "$(setting_get Left)"
expect_eq "stored Top" 1500 "$(setting_get Top)"
expect_eq "stored Width" 7500 "$(setting_get Width)"
expect_eq "stored Height" 6500 "$(setting_get Height)"
expect_eq "stored HideCaptureWin" False "$(setting_get HideCaptureWin)"

# The next start finds them.
app_start
window_geometry "$FRAME"
expect_eq "restored placement" "150 100 500 433" "$WX $WY $WW $WH"
check "the hide option is still off" eval '! hide_option_checked'
menu f x
check "File > Exit ends the program" app_wait_exit
