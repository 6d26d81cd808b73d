#!/usr/bin/env bash
# The Window menu with three documents: Tile Horizontally, Tile Vertically, Cascade
# Images, the window list (choosing a document activates it) and Close All; then the
# About box from the Help menu and from the toolbar.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin windows_about

settings_clear
app_start
for n in 1 2 3; do toolbar Screen; done
expect_eq "three documents, the last one active" Nabbet3 "$(document_title)"

# The active document's caption bar: where it starts and how long it is.
caption_bar() { active_document_caption run; }
window_geometry "$FRAME"
client_width=$((WW - 8))

menu w h
read -r hx hy hlen <<<"$(caption_bar)"
log "tiled horizontally: active caption at $hx,$hy, $hlen pixels long"
check "Tile Horizontally: each document spans the whole width" test "$hlen" -gt $((client_width * 3 / 4))
screenshot "$E2E_OUT/tile-horizontally.png"

menu w v
read -r vx vy vlen <<<"$(caption_bar)"
log "tiled vertically: active caption at $vx,$vy, $vlen pixels long"
check "Tile Vertically: each document a third of the width" \
  test "$vlen" -lt $((client_width / 3)) -a "$vlen" -gt $((client_width / 6))
screenshot "$E2E_OUT/tile-vertically.png"

menu w c
read -r cx cy clen <<<"$(caption_bar)"
log "cascaded: active caption at $cx,$cy, $clen pixels long"
check "Cascade Images: the active document is stepped down and right of the first" \
  test "$cx" -gt "$((WX + 30))" -a "$cy" -gt "$((WY + 100))"

# The window list, a submenu at the end of the Window menu: entry 1 is the first
# document, entry 2 the second.
menu w w
keys 1
expect_eq "choosing entry 1 of the window list activates" Nabbet1 "$(document_title)"
menu w w
keys 2
expect_eq "choosing entry 2 of the window list activates" Nabbet2 "$(document_title)"

menu w l
check "Close All leaves no document" eval '! active_document_caption >/dev/null'
check "and the document commands are disabled" document_commands_are disabled

# The About box, modal over the frame: OK (which has the focus) closes it; the two
# frames of its icon take turns every second.
menu h a
about=$(wait_window '^About Pixelnab$') || fail "Help > About showed no About box"
window_geometry "$about"
log "About box: ${WW} x ${WH} at $WX,$WY"
screenshot "$E2E_OUT/about.png"
crop "$E2E_OUT/about.png" $((WX + 10)) $((WY + 35)) 40 40 "$E2E_OUT/about-icon-1.png"
sleep 1.2
screenshot "$E2E_OUT/about-later.png"
crop "$E2E_OUT/about-later.png" $((WX + 10)) $((WY + 35)) 40 40 "$E2E_OUT/about-icon-2.png"
check "the icon has changed after a second" eval '! same_picture "$E2E_OUT/about-icon-1.png" "$E2E_OUT/about-icon-2.png"'
keys Return
check "Enter on OK closes it" wait_window_gone '^About Pixelnab$' 5
toolbar About
check "the toolbar's About button opens it again" eval 'wait_window "^About Pixelnab$" >/dev/null'
keys alt+F4
check "its close command closes it" wait_window_gone '^About Pixelnab$' 5
menu f x
check "File > Exit ends the program" app_wait_exit
