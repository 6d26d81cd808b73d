#!/usr/bin/env bash
# Shift cancels the rectangle selector and hands the frame straight back with the
# keyboard: Capture > Screen typed at once afterwards is not lost, here with a maximised
# document.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin rectangle_cancel

settings_clear   # defaults: the frame hides for a capture
app_start
menu c r
check "the selector covers the screen" wait_selector
drag 100 100 300 200
check "the rectangle's document shows" wait_until 10 eval 'point=$(active_document_caption)'
# shellcheck disable=SC2086
xdotool mousemove $point click --repeat 2 --delay 80 1
check "its document is maximised" wait_name "$FRAME" "Pixelnab - [Nabbet1]" 5

menu c r
check "the selector covers the screen again" wait_selector
# In one go, as a quick hand types them: the keys after Shift reach the program before
# it has handled the cancel. The nudge lets Wine's menu loop act on the S.
xdotool key --delay 0 shift alt+c s
xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0
check "Capture > Screen typed right after the cancel makes the next document" \
  wait_name "$FRAME" "Pixelnab - [Nabbet2]"
