#!/usr/bin/env bash
# View > Toolbar and View > Status Bar: each hides its bar and takes its check mark
# away, and the frame shrinks by the bar's height (24 and 21 pixels) so that the
# document area keeps its size; choosing it again brings bar, mark and height back.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin frame_view

settings_clear
app_start
window_geometry "$FRAME"
expect_eq "first placement" "262 167 500 433" "$WX $WY $WW $WH"
toolbar_button_shot Open "$E2E_OUT/open-button.png"

menu v t
check "without the toolbar the frame is 24 pixels lower" wait_until 5 geometry_is "$FRAME" 262 167 500 409
check "the toolbar is gone" wait_until 5 button_looks_unlike Open "$E2E_OUT/open-button.png"
menu_shot View
check "View > Toolbar is unchecked" eval '! menu_checked "$VIEW_CHECK_X" "$MENU_ROW1"'
check "View > Status Bar is still checked" menu_checked "$VIEW_CHECK_X" "$MENU_ROW2"
menu_close

menu v s
check "without the status bar too it is 21 pixels lower still" wait_until 5 geometry_is "$FRAME" 262 167 500 388
menu_shot View
check "View > Status Bar is unchecked" eval '! menu_checked "$VIEW_CHECK_X" "$MENU_ROW2"'
menu_close

menu v t
check "the toolbar is back: 24 pixels higher" wait_until 5 geometry_is "$FRAME" 262 167 500 412
check "the toolbar shows its buttons again" wait_until 5 button_looks_like Open "$E2E_OUT/open-button.png"
menu v s
check "the status bar is back: the first size again" wait_until 5 geometry_is "$FRAME" 262 167 500 433
menu_shot View
check "View > Toolbar is checked" menu_checked "$VIEW_CHECK_X" "$MENU_ROW1"
check "View > Status Bar is checked" menu_checked "$VIEW_CHECK_X" "$MENU_ROW2"
menu_close

# The bars are not stored: the next start shows both, whatever the last run did.
menu v t
check "toolbar hidden again" wait_until 5 geometry_is "$FRAME" 262 167 500 409
menu f x
check "File > Exit ends the program" app_wait_exit
expect_eq "stored Height (6500 - 360 twips)" 6140 "$(setting_get Height)"
app_start
check "after a restart the toolbar shows" wait_until 5 button_looks_like Open "$E2E_OUT/open-button.png"
menu_shot View
check "and View > Toolbar is checked" menu_checked "$VIEW_CHECK_X" "$MENU_ROW1"
menu_close
