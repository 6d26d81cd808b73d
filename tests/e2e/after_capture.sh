#!/usr/bin/env bash
# After Capture on the real program: a hotkey capture with "Copy to the clipboard" and
# "Save automatically" on while Notepad is in front (the file and the clipboard hold the
# screen's pixels), two captures whose pattern gives one name (two files, the second
# numbered), and a folder that takes no file (one message, the document stays).
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/lib_pixels.sh"
e2e_begin after_capture

nudge() { xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0; sleep 0.2; }
# Notepad has painted: its menu bar is lettered, and two shots 0.3 s apart differ at most
# in its blinking caret.
notepad_painted() {
  window_geometry "$OTHER_WINDOW"
  screenshot "$E2E_OUT/.notepad1.png"
  /usr/bin/convert "$E2E_OUT/.notepad1.png" -crop "200x20+$WX+$((WY + 24))" +repage txt:- | grep -q '#000000' || return 1
  sleep 0.3
  screenshot "$E2E_OUT/.notepad2.png"
  [ "$(pixels_differ "$E2E_OUT/.notepad1.png" "$E2E_OUT/.notepad2.png")" -le 40 ]
}
# files_in DIR COUNT: DIR holds COUNT files, each complete.
files_in() {
  local count=0 file
  for file in "$1"/*; do
    [ -e "$file" ] || continue
    file_complete "$file" || return 1
    count=$((count + 1))
  done
  [ "$count" -eq "$2" ]
}
# A capture of the whole screen through the hotkey, as another program has the keyboard.
SHOTS="$E2E_OUT/shots"
mkdir -p "$SHOTS"
settings_clear
wallpaper_set
setting_set HotkeyScreen "Ctrl+Shift+F9"
setting_set AfterCaptureCopy True
setting_set AfterCaptureSave True
setting_set AfterCaptureFolder "$(windows_path "$SHOTS")"

# 1. Copy and save, Notepad in front, Pixelnab minimised.
APP_CWD=$E2E_OUT app_start
focus_frame
keys alt+space
nudge
keys n
nudge
check "the frame is minimised" wait_until 5 eval '! geometry_is "$FRAME" 262 167 500 433'
window_geometry "$FRAME"
MX=$WX MY=$WY MW=$WW MH=$WH
other_start
check "Notepad has painted" wait_until "$E2E_TIMEOUT" notepad_painted
screenshot "$E2E_OUT/before.png"
xdotool key ctrl+shift+F9
check "one complete file in the folder" wait_until "$E2E_TIMEOUT" files_in "$SHOTS" 1
SAVED=$(ls "$SHOTS")
log "saved as $SAVED"
check "named by the default pattern, as PNG" eval '[[ "$SAVED" =~ ^Nabbet\ 1\ [0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{6}\.png$ ]]'
expect_eq "a PNG file" PNG "$(/usr/bin/identify -format '%m' "$SHOTS/$SAVED")"
# The screen at the key press without Pixelnab's minimised bar (hidden for the capture).
/usr/bin/convert "$E2E_OUT/before.png" \( "$WALLPAPER" -crop "${MW}x${MH}+${MX}+${MY}" \) \
  -geometry "+${MX}+${MY}" -composite "$E2E_OUT/expected.png"
differ=$(pixels_differ "$SHOTS/$SAVED" "$E2E_OUT/expected.png")
check "the file holds the screen with Notepad in front ($differ pixels differ; the caret blinks)" test "$differ" -le 40
check "the clipboard holds a bitmap" clipboard_bitmap "$E2E_OUT/clipboard.bmp"
expect_eq "the clipboard and the file hold the same pixels" 0 "$(pixels_differ "$E2E_OUT/clipboard.bmp" "$SHOTS/$SAVED")"
# The status bar says where the file went (looked at in the picture).
check "the frame is back" wait_until "$E2E_TIMEOUT" frame_mapped
window_geometry "$FRAME"
sleep 0.5
screenshot "$E2E_OUT/status.png"
crop "$E2E_OUT/status.png" "$WX" $((WY + WH - 22)) "$WW" 22 "$E2E_OUT/status-bar.png"
other_kill
app_kill

# 2. A pattern that gives two captures the same name: the second file is "name (2)".
rm -f "$SHOTS"/*
setting_set AfterCaptureCopy False
setting_set AfterCaptureName "Clash {yyyy}"
APP_CWD=$E2E_OUT app_start
focus_frame
xdotool key ctrl+shift+F9
check "the first file" wait_until "$E2E_TIMEOUT" files_in "$SHOTS" 1
focus_frame
xdotool key ctrl+shift+F9
check "two complete files" wait_until "$E2E_TIMEOUT" files_in "$SHOTS" 2
YEAR=$(date +%Y)
check "the first keeps the name" test -s "$SHOTS/Clash $YEAR.png"
check "the second is numbered" test -s "$SHOTS/Clash $YEAR (2).png"
expect_eq "both are whole pictures" "1024x768 1024x768" \
  "$(picture_size "$SHOTS/Clash $YEAR.png") $(picture_size "$SHOTS/Clash $YEAR (2).png")"
app_kill

# 3. A folder that takes no file: the read-only disk (Y:) where the fixture could mount
# it, else a "folder" that is a file. One message names the file; the document stays.
if [ -d "$SLOT_DIR/wineprefix/dosdevices/y:" ] && mountpoint -q "$SLOT_DIR/test-disks/readonly" 2>/dev/null; then
  setting_set AfterCaptureFolder 'Y:\'
  TARGET='Y:\Clash'
else
  echo "not a folder" >"$E2E_OUT/plain-file"
  setting_set AfterCaptureFolder "$(windows_path "$E2E_OUT/plain-file")"
  TARGET="$(windows_path "$E2E_OUT/plain-file")"
fi
log "saving into $TARGET's folder, which takes no file"
APP_CWD=$E2E_OUT app_start
focus_frame
xdotool key ctrl+shift+F9
wait_until "$E2E_TIMEOUT" eval 'message=$(other_window_titled Pixelnab)' || fail "no message about the failed save"
window_geometry "$message"
screenshot "$E2E_OUT/failed.png"
crop "$E2E_OUT/failed.png" "$WX" "$WY" "$WW" "$WH" "$E2E_OUT/failed-message.png"
log "the failure message is ${WW}x${WH} (see failed-message.png)"
keys Return
wait_until 5 eval '! other_window_titled Pixelnab >/dev/null' || fail "the message did not close"
sleep 1
check "and only one message" eval '! other_window_titled Pixelnab >/dev/null'
expect_eq "the capture is still open" Nabbet1 "$(document_title)"
