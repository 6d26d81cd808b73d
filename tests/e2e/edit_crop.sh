#!/usr/bin/env bash
# Editing with the real mouse: a captured window of known pixels zoomed to 200 %, a band
# dragged across it and cropped; the saved PNG holds exactly the dragged pixels; Undo,
# Redo, Undo show the whole, cropped, whole picture; the edited document asks before it
# closes (No closes it unsaved); a fresh capture closes without a question.
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/lib_pixels.sh"
e2e_begin edit_crop
trap 'rc=$?; pattern_stop; (exit $rc); e2e_end' EXIT
view() { python3 "$E2E_DIR/view_pixels.py" "$@"; }
settings_clear

app_start
window_geometry "$FRAME"
pattern_place "$WX" "$WY" "$WW" "$WH" 200 150 || fail "no room for the pattern window beside the frame"
pattern_start "$PLACE_X" "$PLACE_Y" 200 150
export VIEW_PATTERN="$PATTERN_PPM"

# Capture > Window: the picker's drag icon released over the pattern window.
capture_pattern() {
  local picker border
  menu c w
  picker=$(wait_window '^Capture Selected Window$') || fail "the window picker did not appear"
  sleep 0.5
  window_geometry "$picker"
  border=$(((WW - 240) / 2))
  slow_drag $((WX + border + 102 + 18)) $((WY + WH - 86 - border + 41 + 16)) $((PATTERN_X + 100)) $((PATTERN_Y + 75))
  wait_until "$E2E_TIMEOUT" window_closed "$picker" || fail "the picker is still open"
  wait_pattern_copy "$E2E_OUT/capture.ppm" 0 0
}
copies() { screen_ppm "$E2E_OUT/.shot.ppm"; pattern_copies "$E2E_OUT/.shot.ppm" "$1" "$2" | wc -l; }
# zoomed_origin PX PY: pattern pixel (PX, PY) shows as one 2 x 2 block outside the pattern
# window; VX, VY: its top-left screen pixel, the document's picture corner.
zoomed_origin() {
  local found
  screen_ppm "$E2E_OUT/.shot.ppm"
  mapfile -t found < <(pattern_copies "$E2E_OUT/.shot.ppm" "$1" "$2")
  [ "${#found[@]}" = 4 ] && read -r VX VY <<<"${found[0]}" &&
    [ "${found[*]}" == "$VX $VY $((VX + 1)) $VY $VX $((VY + 1)) $((VX + 1)) $((VY + 1))" ]
}
# shows PX PY W H: the document shows the pattern from (PX, PY) at 200 %, W x H screen
# pixels checked 4 pixels inside its corner (clear of a selection's outline at the edge).
shows() {
  screen_ppm "$E2E_OUT/.shot.ppm"
  [ "$(view scaled "$E2E_OUT/.shot.ppm" $((VX + 4)) $((VY + 4)) "$3" "$4" 2 $((2 * $1 + 4)) $((2 * $2 + 4)))" == 0 ]
}
whole() { shows 0 0 30 20 && [ "$(copies 0 0)" = 4 ]; }        # clear of the selection at (20, 15)
cropped() { shows 20 15 100 70 && [ "$(copies 0 0)" = 0 ]; }  # pattern pixel (0, 0) is gone

capture_pattern
expect_eq "the capture's title" Nabbet1 "$(document_title)"
xdotool mousemove $((COPY_X + 10)) $((COPY_Y + 10)) click 1
keys ctrl+equal ctrl+KP_Add ctrl+Home   # 150 %, 200 %, scrolled to the top-left corner
xdotool mousemove 5 5
check "Zoom In twice (Ctrl+Plus, keypad +): the picture at 200 %" wait_until 10 zoomed_origin 0 0
expect_eq "of its first 100 x 100 screen pixels, those unlike the pattern at 200 %" 0 \
  "$(view scaled "$E2E_OUT/.shot.ppm" "$VX" "$VY" 100 100 2 0 0)"
log "picture corner at $VX,$VY"

# Drag from the middle of picture pixel (20, 15) to the middle of (89, 64): 70 x 50 pixels.
slow_drag $((VX + 41)) $((VY + 31)) $((VX + 2 * 89 + 1)) $((VY + 2 * 64 + 1))
xdotool mousemove 5 5
keys ctrl+shift+x
check "Ctrl+Shift+X: the document shows the band from pattern pixel (20, 15)" wait_until 10 cropped
expect_eq "the edited document's title" 'Nabbet1*' "$(document_title)"
check "the document found again after Cascade" wait_until 10 zoomed_origin 20 15

PNG="$E2E_OUT/crop.png"
rm -f "$PNG"
save_document "$PNG"
wait_until 10 file_complete "$PNG" || fail "no file $PNG"
/usr/bin/convert "$PNG" -depth 8 "$E2E_OUT/crop.ppm"
expect_eq "the saved picture's type and size" PNG70x50 "$(/usr/bin/identify -format '%m%wx%h' "$PNG")"
expect_eq "of its 3500 pixels, those unlike pattern pixels (20..89, 15..64)" 0 \
  "$(pixels pattern "$E2E_OUT/crop.ppm" "$PATTERN_PPM" 0 0 20 15 70 50)"
SAVED=$(md5sum <"$PNG")

menu e u
check "Edit > Undo: the whole picture again" wait_until 10 whole
menu e r
check "Edit > Redo: cropped again" wait_until 10 cropped
menu e u
check "Edit > Undo: whole again" wait_until 10 whole
title=$(document_title)
check "the title after undoing the saved crop ends in * ($title)" test "${title: -1}" == '*'

menu f c
wait_until 10 other_window_titled Pixelnab >/dev/null || fail "File > Close on the edited document asked nothing"
screenshot "$E2E_OUT/save-changes.png"
keys n
check "No: the question goes" wait_until 5 eval '! other_window_titled Pixelnab >/dev/null'
check "and the document closes" wait_until 10 eval '[ "$(copies 0 0)" = 0 ]'
expect_eq "the saved file is left as it was" "$SAVED" "$(md5sum <"$PNG")"

capture_pattern
expect_eq "a fresh capture's title" Nabbet2 "$(document_title)"
menu f c
check "File > Close on it: the document closes" wait_until 10 eval '[ "$(copies 0 0)" = 0 ]'
check "without a question" eval '! other_window_titled Pixelnab >/dev/null'
