#!/usr/bin/env bash
# Files and the clipboard through the real dialogs: Save with a typed name (the .bmp
# is added) and the overwrite prompt answered No, then Yes; Open of a GIF and of a
# damaged file; Copy, with the picture read back by another program; Empty Clipboard.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin files_clipboard

settings_clear
wallpaper_set
APP_CWD=$E2E_OUT app_start
menu c s
expect_eq "a capture to work with" Nabbet1 "$(document_title)"

# Copy: another program (xclip, through Wine's X clipboard) gets exactly the picture.
printf 'text from another program' | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
text_owner=$!
E2E_PIDS+=("$text_owner")
check "another program's text is on the clipboard" wait_until 5 clipboard_has UTF8_STRING
menu e c
check "after Copy the clipboard offers a bitmap" wait_until 5 clipboard_has image/bmp
clipboard_bitmap "$E2E_OUT/clipboard.bmp" || fail "no bitmap could be read from the clipboard"
expect_picture "the clipboard's bitmap is the captured screen" "$E2E_OUT/clipboard.bmp" "$WALLPAPER"
check "and the text that was there is gone" eval '! clipboard_has UTF8_STRING'
check "its owner has let go of the clipboard" wait_until 5 not_running "$text_owner"
toolbar Empty
check "the Empty Clipboard button leaves no bitmap" wait_until 5 eval '! clipboard_has image/bmp'

# Save with a typed name without extension: the dialog adds .bmp.
save_document "$E2E_OUT/shot"
expect_picture "Save with a typed name writes shot.bmp" "$E2E_OUT/shot.bmp" "$WALLPAPER"

# Save over it: the overwrite prompt; No returns to the dialog, Yes replaces the file.
/usr/bin/convert -size 4x4 xc:red "BMP3:$E2E_OUT/shot.bmp"
cp "$E2E_OUT/shot.bmp" "$E2E_OUT/shot-before.bmp"
menu f s
wait_window '^Save As$' >/dev/null || fail "no Save As dialog"
keys ctrl+a
type_text "$(windows_path "$E2E_OUT/shot.bmp")"
keys Return
check "the dialog asks before replacing shot.bmp" wait_until 10 overwrite_prompt_shown
keys n
check "No keeps the dialog open" eval 'sleep 0.5; [ -n "$(find_window "^Save As$")" ]'
check "and leaves the file alone" cmp -s "$E2E_OUT/shot.bmp" "$E2E_OUT/shot-before.bmp"
keys Return
check "asked again" wait_until 10 overwrite_prompt_shown
keys y
wait_window_gone '^Save As$' || fail "the Save As dialog did not close after Yes"
expect_picture "Yes replaces shot.bmp with the picture" "$E2E_OUT/shot.bmp" "$WALLPAPER"

# Open a GIF: a document titled with the file's name (no folder) showing its pixels.
/usr/bin/convert -size 120x80 xc:'#ffd700' -fill '#0057b7' -draw 'rectangle 0,40 119,79' \
  -fill '#d62828' -draw 'circle 60,40 60,20' "$E2E_OUT/flag.gif"
open_file "$E2E_OUT/flag.gif"
expect_eq "the opened GIF's document" flag.gif "$(document_title)"
save_document "$E2E_OUT/from-gif"
/usr/bin/convert "$E2E_OUT/flag.gif" -type TrueColor "PNG24:$E2E_OUT/flag.png"
expect_picture "saved as a bitmap it has the GIF's pixels" "$E2E_OUT/from-gif.bmp" "$E2E_OUT/flag.png"

# Open a damaged file: the program's message, titled Pixelnab, with an OK button, and
# an empty document titled with the file's name.
printf 'GIF89a\001\000but not a picture' >"$E2E_OUT/damaged.gif"
open_file "$E2E_OUT/damaged.gif"
message=$(wait_until 10 other_window_titled Pixelnab && other_window_titled Pixelnab) ||
  fail "no message box for the damaged file"
window_geometry "$message"
log "message box: ${WW} x ${WH} at $WX, $WY"
screenshot "$E2E_OUT/damaged-message.png"
keys Return
check "OK closes the message" wait_until 5 eval '! other_window_titled Pixelnab >/dev/null'
expect_eq "the document left for the damaged file" damaged.gif "$(document_title)"
