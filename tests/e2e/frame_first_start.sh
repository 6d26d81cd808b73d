#!/usr/bin/env bash
# First start with an empty settings store: the frame is centred at its default
# size (7500 x 6500 twips), the hide option is on and the document commands are
# disabled; both bars are shown with their View items checked.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin frame_first_start

settings_clear
app_start

expect_eq "window title" "Pixelnab" "$(window_name "$FRAME")"
# 1024 x 768 pixels at 15 twips per pixel: left (15360 - 7500) / 2 = 3930 twips = 262 px,
# top (11520 - 6500) / 2 = 2510 twips = 167.3 px, 7500 x 6500 twips = 500 x 433.3 px.
window_geometry "$FRAME"
expect_eq "placement (x y width height)" "262 167 500 433" "$WX $WY $WW $WH"

check "Close, Save, Print and Copy are disabled; Open and Empty are enabled" document_commands_are disabled
check "Hide Capture Window is checked" hide_option_checked

menu_shot View
check "View Toolbar is checked" menu_checked "$VIEW_CHECK_X" "$MENU_ROW1"
check "View Status Bar is checked" menu_checked "$VIEW_CHECK_X" "$MENU_ROW2"
menu_close

# The Hide button is pressed while the option is on: its look changes when the option
# is turned off from the menu, and comes back when it is turned on from the toolbar.
toolbar_button_shot Hide "$E2E_OUT/hide-on.png"
menu o h
check "Hide Capture Window is unchecked after Options > Hide" eval '! hide_option_checked'
check "the Hide button is released" wait_until 5 button_looks_unlike Hide "$E2E_OUT/hide-on.png"
toolbar Hide
check "Hide Capture Window is checked again after the Hide button" hide_option_checked
check "the Hide button is pressed again" wait_until 5 button_looks_like Hide "$E2E_OUT/hide-on.png"

# Nothing is stored until the program ends.
expect_eq "stored width while running" "" "$(setting_get Width)"
