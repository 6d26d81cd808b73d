#!/usr/bin/env bash
# Capture Rectangle and Capture Window with the real mouse: a band dragged on the frozen
# screen and a window picked with the drag icon each end in a new document that shows
# exactly the selected pixels.
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/lib_pixels.sh"
e2e_begin select-capture
trap 'rc=$?; pattern_stop; (exit $rc); e2e_end' EXIT
settings_clear   # the hide option is on by default: the frame is out of the way

app_start
window_geometry "$FRAME"
pattern_place "$WX" "$WY" "$WW" "$WH" 200 150 || fail "no room for the pattern window beside the frame"
pattern_start "$PLACE_X" "$PLACE_Y" 200 150
log "frame at $WX,$WY (${WW} x ${WH}), pattern window at $PATTERN_X,$PATTERN_Y"

# 1. A band of 100 x 50 pixels dragged up and to the left, from pattern pixel (130, 90)
#    to (30, 40).
menu c r
wait_selector || fail "Capture > Rectangle showed no frozen screen"
selector_over_pattern
slow_drag $((PATTERN_X + 130)) $((PATTERN_Y + 90)) $((PATTERN_X + 30)) $((PATTERN_Y + 40))
wait_pattern_copy "$E2E_OUT/rectangle.ppm" 30 40
check_pattern_copy "$E2E_OUT/rectangle.ppm" "$COPY_X" "$COPY_Y" 30 40 100 50 "Capture Rectangle"

# 2. The drag icon taken from its box (at its design place in the picker's client area,
#    which is 240 x 86 pixels) and released over the pattern window.
menu c w
picker=$(wait_window '^Capture Selected Window$') || fail "the window picker did not appear"
sleep 0.5
window_geometry "$picker"
border=$(((WW - 240) / 2))
slow_drag $((WX + border + 102 + 18)) $((WY + WH - 86 - border + 41 + 16)) \
  $((PATTERN_X + 100)) $((PATTERN_Y + 75))
wait_until "$E2E_TIMEOUT" window_closed "$picker" || fail "the picker is still open"
wait_pattern_copy "$E2E_OUT/window.ppm" 0 0
check_pattern_copy "$E2E_OUT/window.ppm" "$COPY_X" "$COPY_Y" 0 0 200 150 "Capture Window"
