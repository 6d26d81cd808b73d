#!/usr/bin/env bash
# Pictures in and out from outside the program: three files on the command line (one
# broken), a second start handing over its file, a screen capture saved as PNG and JPEG
# through the real Save dialog, and Paste of a picture another program put on the clipboard.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin files_outside

settings_clear
wallpaper_set

# ---- Command line: three files, the middle one broken --------------------------------
/usr/bin/convert -size 90x60 gradient:'#ff8000-#0040c0' "PNG24:$E2E_OUT/first.png"
/usr/bin/convert -size 70x50 xc:'#20a040' -fill '#ffffff' -draw 'rectangle 10,10 40,30' -quality 95 \
  "$E2E_OUT/third one.jpg"
printf '\211PNG\r\n\032\nnot really' >"$E2E_OUT/broken.png"
APP_ARGS=(first.png broken.png "third one.jpg")
APP_CWD=$E2E_OUT app_start
APP_ARGS=()
message=$(wait_until 10 other_window_titled Pixelnab && other_window_titled Pixelnab) ||
  fail "no message for the broken file"
screenshot "$E2E_OUT/broken-message.png"
keys Return
check "OK closes the message" wait_until 5 eval '! other_window_titled Pixelnab >/dev/null'
check "the last file opens after it" wait_until 10 eval '[ "$(document_title)" == "third one.jpg" ]'
check "and no second message follows" eval 'sleep 1; ! other_window_titled Pixelnab >/dev/null'
# Closing the active document activates the one opened before it: the order they opened in.
menu f c
expect_eq "the document opened before it, for the broken file" broken.png "$(document_title)"
menu f c
expect_eq "and the first file's document before that" first.png "$(document_title)"
save_document "$E2E_OUT/first-back.bmp"
expect_picture "the first file's document holds its pixels" "$E2E_OUT/first-back.bmp" "$E2E_OUT/first.png"
menu f c
check "three documents in all" wait_until 5 eval '[ "$(window_name "$FRAME")" == Pixelnab ]'

# ---- A second start hands its file over and ends --------------------------------------
/usr/bin/convert -size 50x40 xc:'#c02060' "PNG24:$E2E_OUT/second.png"
(cd "$E2E_OUT" && exec "$WINE_RUN" "$PIXELNAB_EXE" second.png) </dev/null >>"$E2E_OUT/second-start.log" 2>&1 &
second=$!
check "the second start ends by itself" wait_until 20 not_running "$second"
check "the running frame opens its file" wait_until 10 eval '[ "$(document_title)" == second.png ]'
expect_eq "one Pixelnab window" 1 "$(xdotool search --all --onlyvisible --name '^Pixelnab' 2>/dev/null | wc -l)"
menu f c

# ---- Save a screen capture as PNG and JPEG through the real dialog ---------------------
menu c s
expect_eq "a capture to save" Nabbet1 "$(document_title)"
# Type a name without extension and pick "PNG (*.png)" as the type.
menu f s
wait_window '^Save As$' >/dev/null || fail "no Save As dialog"
keys ctrl+a
type_text "$(windows_path "$E2E_OUT/shot")"
keys alt+t
keys Down
keys Return
wait_window_gone '^Save As$' || fail "the Save As dialog did not close"
wait_until 10 file_complete "$E2E_OUT/shot.png" || fail "no shot.png (the chosen type's extension)"
expect_eq "shot.png holds PNG bytes" PNG "$(/usr/bin/identify -format %m "$E2E_OUT/shot.png")"
check "and no bitmap was written" test ! -e "$E2E_OUT/shot.bmp"
expect_picture "ImageMagick reads back the captured screen" "$E2E_OUT/shot.png" "$WALLPAPER"
open_file "$E2E_OUT/shot.png"
expect_eq "Pixelnab opens it" shot.png "$(document_title)"
save_document "$E2E_OUT/shot-back.bmp"
expect_picture "and holds the same pixels" "$E2E_OUT/shot-back.bmp" "$WALLPAPER"
menu f c
# x.png typed with the bitmap type (chosen by default): the name's extension wins.
save_document "$E2E_OUT/x.png"
wait_until 10 file_complete "$E2E_OUT/x.png" || fail "no x.png"
expect_eq "x.png typed with the bitmap type holds PNG bytes" PNG "$(/usr/bin/identify -format %m "$E2E_OUT/x.png")"
save_document "$E2E_OUT/shot.jpg"
wait_until 10 file_complete "$E2E_OUT/shot.jpg" || fail "no shot.jpg"
expect_eq "shot.jpg holds JPEG bytes" JPEG "$(/usr/bin/identify -format %m "$E2E_OUT/shot.jpg")"
# 90 on Windows; Wine's encoder keeps libjpeg's default (75) whatever the program asks.
log "JPEG quality as ImageMagick estimates it: $(/usr/bin/identify -format %Q "$E2E_OUT/shot.jpg")"
log "sizes: $(stat -c '%n %s' "$E2E_OUT/shot.png" "$E2E_OUT/shot.jpg" "$E2E_OUT/shot-back.bmp" | tr '\n' ' ')"

# ---- Paste a picture another program put on the clipboard -----------------------------
/usr/bin/convert -size 80x60 gradient:'#00ffff-#800000' -fill '#ffff00' -draw 'circle 40,30 40,10' \
  "PNG24:$E2E_OUT/paste.png"
xclip -quiet -selection clipboard -t image/png -i "$E2E_OUT/paste.png" >/dev/null 2>&1 &
E2E_PIDS+=("$!")
check "the other program's PNG is on the clipboard" wait_until 5 clipboard_has image/png
check "Edit > Paste is enabled" wait_until 10 paste_enabled
menu e p
check "Paste makes a document numbered like a capture" wait_until 10 eval '[ "$(document_title)" == Nabbet2 ]'
save_document "$E2E_OUT/pasted.png"
expect_picture "with the pasted picture's pixels" "$E2E_OUT/pasted.png" "$E2E_OUT/paste.png"

printf 'only words' | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
E2E_PIDS+=("$!")
check "text is on the clipboard" wait_until 5 clipboard_has UTF8_STRING
check "Edit > Paste is greyed out" wait_until 10 eval '! paste_enabled'
focus_frame
keys ctrl+v
sleep 1
expect_eq "with text on the clipboard Paste makes nothing" Nabbet2 "$(document_title)"
check "and shows no message" eval '! other_window_titled Error >/dev/null'

menu f x
check "Pixelnab ends with File > Exit" app_wait_exit
