#!/usr/bin/env bash
# Marking up with the real mouse and keys: on a captured window of known pixels, a red
# 3-px rectangle and an arrow drawn at 100 %, then at 200 % the text "Hello", a step marker,
# a pixelated area moved with Select, a pen stroke and a highlighter; saved as PNG and read
# back: the rectangle is red where drawn, no 8 x 8 block of the pixelated area is the
# original's and each is the average of the picture at its new place, the rest is the capture. Undoing
# every step and saving again gives back exactly the capture. The tool strip is
# photographed.
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/lib_pixels.sh"
e2e_begin markup
trap 'rc=$?; pattern_stop; (exit $rc); e2e_end' EXIT
settings_clear

app_start
window_geometry "$FRAME"
FX=$WX FY=$WY
pattern_place "$WX" "$WY" "$WW" "$WH" 200 150 || fail "no room for the pattern window beside the frame"
pattern_start "$PLACE_X" "$PLACE_Y" 200 150

menu c w
picker=$(wait_window '^Capture Selected Window$') || fail "the window picker did not appear"
sleep 0.5
window_geometry "$picker"
border=$(((WW - 240) / 2))
slow_drag $((WX + border + 102 + 18)) $((WY + WH - 86 - border + 41 + 16)) $((PATTERN_X + 100)) $((PATTERN_Y + 75))
wait_until "$E2E_TIMEOUT" window_closed "$picker" || fail "the picker is still open"
wait_pattern_copy "$E2E_OUT/capture.ppm" 0 0
VX=$COPY_X VY=$COPY_Y
log "picture corner at $VX,$VY (100 %)"

# The strip beside the documents, as the user sees it.
screenshot "$E2E_OUT/frame.png"
crop "$E2E_OUT/frame.png" "$FX" "$FY" 90 330 "$E2E_OUT/tool-strip.png"

# Red (the style's colour when nothing is stored), 3 px: a rectangle from picture pixel
# (10, 10) to (60, 40) with the R key, an arrow with A.
xdotool mousemove $((VX + 180)) $((VY + 140)) click 1
keys r
drag $((VX + 10)) $((VY + 10)) $((VX + 60)) $((VY + 40))
keys a
drag $((VX + 70)) $((VY + 20)) $((VX + 120)) $((VY + 60))
expect_eq "the edited document's title" 'Nabbet1*' "$(document_title)"

# 200 %, scrolled to the corner: the picture's pixel (0, 0) is a 2 x 2 block.
keys ctrl+equal ctrl+KP_Add ctrl+Home
xdotool mousemove 5 5
zoomed_origin() {
  local found
  screen_ppm "$E2E_OUT/.shot.ppm"
  mapfile -t found < <(pattern_copies "$E2E_OUT/.shot.ppm" 0 0)
  [ "${#found[@]}" = 4 ] && read -r VX VY <<<"${found[0]}"
}
check "Zoom In twice: the picture at 200 %" wait_until 10 zoomed_origin
log "picture corner at $VX,$VY (200 %)"
at() { echo $((VX + 2 * $1 + 1)) $((VY + 2 * $2 + 1)); }

xdotool mousemove $(at 190 140) click 1
keys t
xdotool mousemove $(at 20 80) click 1
sleep 0.3
type_text Hello
keys Escape
keys n
xdotool mousemove $(at 150 30) click 1
sleep 0.3
# Pixelated over the arrow's head and the step marker, then moved with Select to
# (100, 90): its blocks are read again from the picture at the new place.
keys x
drag $(at 100 40) $(at 163 79)
keys s
drag $(at 130 60) $(at 130 110)
keys p
drag $(at 20 64) $(at 60 72)
keys h
drag $(at 20 50) $(at 90 50)
xdotool mousemove 5 5
sleep 0.5
screenshot "$E2E_OUT/marked-up-200.png"

PNG="$E2E_OUT/marked-up.png"
rm -f "$PNG"
save_document "$PNG"
wait_until 10 file_complete "$PNG" || fail "no file $PNG"
expect_eq "the saved picture's type and size" PNG200x150 "$(/usr/bin/identify -format '%m%wx%h' "$PNG")"
/usr/bin/convert "$PNG" -depth 8 "$E2E_OUT/marked-up.ppm"
problems=$(python3 "$E2E_DIR/markup_check.py" "$E2E_OUT/marked-up.ppm" "$PATTERN_PPM")
[ -z "$problems" ] || fail "the saved picture: $problems"
log "ok: the saved picture holds the red rectangle, arrow, text, step marker, moved pixelated blocks, pen and highlighter"

# At 100 % the whole marked-up picture shows in the document: a picture of the frame for
# the help page (annotated by hand).
xdotool mousemove $(at 190 140) click 1
keys ctrl+0
xdotool mousemove 5 5
sleep 1
screenshot "$E2E_OUT/marked-up-100.png"
window_geometry "$FRAME"
crop "$E2E_OUT/marked-up-100.png" "$WX" "$WY" "$WW" "$WH" "$E2E_OUT/frame-marked-up.png"

# Every step undone (rectangle, arrow, text, step, pixelated area, its move, pen,
# highlighter): the capture exactly.
keys ctrl+z ctrl+z ctrl+z ctrl+z ctrl+z ctrl+z ctrl+z ctrl+z
UNDONE="$E2E_OUT/undone.png"
rm -f "$UNDONE"
save_document "$UNDONE"
wait_until 10 file_complete "$UNDONE" || fail "no file $UNDONE"
/usr/bin/convert "$UNDONE" -depth 8 "$E2E_OUT/undone.ppm"
expect_eq "after undoing everything, of the 30000 pixels those unlike the capture" 0 \
  "$(pixels pattern "$E2E_OUT/undone.ppm" "$PATTERN_PPM" 0 0 0 0 200 150)"
