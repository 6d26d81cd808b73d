#!/usr/bin/env bash
# Capturing without touching Pixelnab first: hotkeys pressed while another program has
# the keyboard and Pixelnab is minimised, a hotkey another program already holds, the
# Hotkeys dialog used with the keyboard only, a counted delay against a window that
# changes colour every second, Esc cancelling it, and the pointer in the picture.
#
# What Wine does (measured here): RegisterHotKey delivers WM_HOTKEY whenever a Wine
# window (of any Wine program) has the keyboard, and not while a plain X client has it;
# a key grabbed by a plain X client does not make RegisterHotKey fail (Wine never sees
# that key); a second Wine program holding the hotkey does.
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/lib_pixels.sh"
e2e_begin capture_anywhere
SHOTS="${SCREENSHOTS_DIR:-$E2E_OUT/png}"
mkdir -p "$SHOTS"

# The pictures a document holds, through File > Save.
saved() {  # saved NAME: saves the active document as $E2E_OUT/NAME.bmp
  save_document "$E2E_OUT/$1"
  wait_until 10 file_complete "$E2E_OUT/$1.bmp" || fail "no $1.bmp"
}
# Nudges the pointer so that Wine's menu loop acts on the key just sent.
nudge() { xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0; sleep 0.2; }
menu_item() {  # menu_item MENU-KEY KEY...: a command of a submenu, key by key
  focus_frame
  keys "alt+$1"
  shift
  local key
  for key in "$@"; do keys "$key"; nudge; done
}
# runner_child RUNNER: adds the Windows program that wine-run.sh RUNNER started to the
# processes ended with the scenario (ending the runner alone leaves it running). The
# runner's first child may be its prefix check, gone at once: only an .exe counts.
RUNNER=""
runner_exe() { pgrep -P "$RUNNER" -f '\.exe' | head -1; }
runner_has_child() { [ -n "$(runner_exe)" ]; }
runner_child() {
  RUNNER=$1
  wait_until 10 runner_has_child || return 0
  E2E_PIDS+=("$(runner_exe)")
}
# Notepad has painted: its menu bar is lettered (black, which the wallpaper has not), and
# two shots 0.3 s apart differ at most in its blinking caret (the whole screen never
# settles while it blinks).
notepad_painted() {
  window_geometry "$OTHER_WINDOW"
  screenshot "$E2E_OUT/.notepad1.png"
  /usr/bin/convert "$E2E_OUT/.notepad1.png" -crop "200x20+$WX+$((WY + 24))" +repage txt:- | grep -q '#000000' || return 1
  sleep 0.3
  screenshot "$E2E_OUT/.notepad2.png"
  [ "$(pixels_differ "$E2E_OUT/.notepad1.png" "$E2E_OUT/.notepad2.png")" -le 40 ]
}
countdown_shown() { [ -n "$(xdotool search --onlyvisible --name '^Pixelnab countdown$' 2>/dev/null)" ]; }

settings_clear
wallpaper_set
setting_set HotkeyScreen "Ctrl+Shift+F9"
setting_set HotkeyActiveWindow "Ctrl+Shift+F10"
setting_set HotkeyRectangle "Ctrl+Alt+F11"

# Another Windows program holds Ctrl+Alt+F11 (MOD_CONTROL | MOD_ALT, VK_F11).
"$WINE_RUN" "$BUILD_DIR/bin/hotkey_holder.exe" 3 0x7A 170 </dev/null >"$E2E_OUT/holder.txt" 2>>"$E2E_OUT/holder.log" &
E2E_PIDS+=($!)
runner_child $!
wait_until 20 grep -q "^held" "$E2E_OUT/holder.txt" || fail "the other program could not take Ctrl+Alt+F11"

APP_CWD=$E2E_OUT app_start
# One message naming the refused keys and their command, over the frame.
wait_until 10 eval 'message=$(other_window_titled Pixelnab)' || fail "no message about the refused hotkey"
window_geometry "$message"
screenshot "$E2E_OUT/refused.png"
crop "$E2E_OUT/refused.png" "$WX" "$WY" "$WW" "$WH" "$E2E_OUT/refused-message.png"
log "the refusal message is ${WW}x${WH} at $WX,$WY (see refused-message.png)"
keys Return
wait_until 5 eval '! other_window_titled Pixelnab >/dev/null' || fail "the message did not close"
check "and only one message" eval '! other_window_titled Pixelnab >/dev/null'

# Minimised, with Notepad in front and holding the keyboard: Ctrl+Shift+F9 captures the
# screen as it is (Notepad on the wallpaper) into a new document.
focus_frame
keys alt+space
nudge
keys n
nudge
check "the frame is minimised" wait_until 5 eval '! geometry_is "$FRAME" 262 167 500 433'
# Minimised without a window manager, Wine leaves a small title bar at the bottom left.
window_geometry "$FRAME"
MX=$WX MY=$WY MW=$WW MH=$WH
other_start
check "Notepad has painted" wait_until "$E2E_TIMEOUT" notepad_painted
screenshot "$E2E_OUT/before-screen-hotkey.png"
xdotool key ctrl+shift+F9
# The frame comes back restored once the capture is done; its new document has the size
# of one made in the restored frame, not that of a minimised bar.
check "the frame comes back from its icon" wait_until "$E2E_TIMEOUT" geometry_is "$FRAME" 262 167 500 433
focus_frame   # its activation may be lost to a late FocusOut (see document_title)
check "its document is not squeezed to a bar" \
  wait_until 5 eval '[ "$(active_document_caption run | cut -d" " -f3)" -gt 200 ]'
expect_eq "the Screen hotkey's document" Nabbet1 "$(document_title)"
saved hotkey-screen
# Expected: the screen at the key press without Pixelnab (hidden for the capture), the
# wallpaper where its minimised bar was.
/usr/bin/convert "$E2E_OUT/before-screen-hotkey.png" \( "$WALLPAPER" -crop "${MW}x${MH}+${MX}+${MY}" \) \
  -geometry "+${MX}+${MY}" -composite "$E2E_OUT/expected-screen.png"
differ=$(pixels_differ "$E2E_OUT/hotkey-screen.bmp" "$E2E_OUT/expected-screen.png")
# Notepad's caret blinks: at most its pixels may differ.
check "the hotkey took the screen with Notepad in front ($differ pixels differ)" test "$differ" -le 40

# Active Window by hotkey: Notepad is in front, so Notepad is captured, not Pixelnab.
window_geometry "$OTHER_WINDOW"
NX=$WX NY=$WY NW=$WW NH=$WH
click "$OTHER_WINDOW" $((NW / 2)) 10
xdotool key ctrl+shift+F10
expect_eq "the Active Window hotkey's document" Nabbet2 "$(document_title)"
saved hotkey-active
expect_eq "the Active Window hotkey took Notepad's window" "${NW}x${NH}" "$(picture_size "$E2E_OUT/hotkey-active.bmp")"
crop "$E2E_OUT/hotkey-active.bmp" 0 0 "$NW" 30 "$E2E_OUT/active-top.png"
check "with Notepad's title bar" eval '[ "$(colour_count "$E2E_OUT/active-top.png")" -gt 2 ]'
other_kill

# The refused combination is still in the dialog. The dialog with the keyboard only: the
# first box has the focus; keys typed there are the Screen hotkey; Tab reaches every
# control; Enter is OK.
menu_item o k
dialog=$(wait_window '^Hotkeys$') || fail "Options > Hotkeys showed no dialog"
sleep 0.5
window_geometry "$dialog"
screenshot "$E2E_OUT/dialog-screen.png"
crop "$E2E_OUT/dialog-screen.png" "$WX" "$WY" "$WW" "$WH" "$SHOTS/hotkeys-dialog.png"
log "the Hotkeys dialog is ${WW}x${WH} (hotkeys-dialog.png)"
xdotool key ctrl+shift+F8
sleep 0.3
# To the Rectangle row's box (nine stops on), a new combination, then its "+ Win" box.
for _ in 1 2 3 4 5 6 7 8 9; do keys Tab; done
xdotool key ctrl+F7
sleep 0.3
keys Tab
keys space
keys Return
wait_window_gone '^Hotkeys$' || fail "Enter did not close the dialog"
expect_eq "the Screen hotkey typed into the dialog" "Ctrl+Shift+F8" "$(setting_get HotkeyScreen)"
expect_eq "the Rectangle hotkey typed and ticked" "Ctrl+Win+F7" "$(setting_get HotkeyRectangle)"
expect_eq "the Active Window hotkey kept" "Ctrl+Shift+F10" "$(setting_get HotkeyActiveWindow)"
expect_eq "no hotkey for All Screens" "" "$(setting_get HotkeyAllScreens)"
# The new combination works at once.
focus_frame
xdotool key ctrl+shift+F8
expect_eq "the new Screen hotkey's document" Nabbet3 "$(document_title)"

# Delay 3: a window that changes colour every second is captured as it is 3 seconds after
# the command. Its colour's first component tells the second: 40 * (second % 6) + 20.
menu_item o d 3
COLOUR_X=760 COLOUR_Y=520
"$WINE_RUN" "$BUILD_DIR/bin/colour_window.exe" $COLOUR_X $COLOUR_Y 160 120 170 </dev/null >>"$E2E_OUT/colour.log" 2>&1 &
E2E_PIDS+=($!)
runner_child $!
wait_window '^Pixelnab colours$' >/dev/null || fail "the colour window did not appear"
second_of() {  # second_of FILE X Y: which second of its cycle the colour window shows
  local red
  red=$(/usr/bin/convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 2p | sed -E 's/.*\(([0-9]+),.*/\1/')
  echo $(((red - 20) / 40))
}
focus_frame
keys alt+c
xdotool key s
screenshot "$E2E_OUT/at-command.png"
nudge
at_command=$(second_of "$E2E_OUT/at-command.png" $((COLOUR_X + 80)) $((COLOUR_Y + 60)))
check "the countdown shows" wait_until 2 countdown_shown
screenshot "$E2E_OUT/counting.png"
# The frame takes no clicks while it counts.
check "the countdown ends by itself" wait_until 6 eval '! countdown_shown'
sleep 1.5  # the countdown leaves a moment before the capture
expect_eq "the delayed capture's document" Nabbet4 "$(document_title)"
saved delayed
in_picture=$(second_of "$E2E_OUT/delayed.bmp" $((COLOUR_X + 80)) $((COLOUR_Y + 60)))
later=$(((in_picture - at_command + 6) % 6))
log "colour window: second $at_command at the command, $in_picture in the picture"
check "the picture shows the window about 3 seconds after the command, not at it ($later s later)" \
  test "$later" -ge 2 -a "$later" -le 4
# Apart from the colour window, the picture is the bare screen: no countdown in it.
/usr/bin/convert "$E2E_OUT/delayed.bmp" -fill black -draw "rectangle $COLOUR_X,$COLOUR_Y $((COLOUR_X + 159)),$((COLOUR_Y + 119))" "$E2E_OUT/delayed-rest.png"
/usr/bin/convert "$WALLPAPER" -fill black -draw "rectangle $COLOUR_X,$COLOUR_Y $((COLOUR_X + 159)),$((COLOUR_Y + 119))" "$E2E_OUT/wallpaper-rest.png"
expect_picture "the countdown is not in the picture" "$E2E_OUT/delayed-rest.png" "$E2E_OUT/wallpaper-rest.png"

# Esc while it counts cancels: no document, the number is not used.
focus_frame
keys alt+c
keys s
nudge
check "the countdown shows again" wait_until 2 countdown_shown
xdotool key Escape
check "Esc ends the countdown" wait_until 2 eval '! countdown_shown'
sleep 4
expect_eq "no document from the cancelled capture" Nabbet4 "$(document_title)"
menu_item o d n

# Include Pointer: the pointer's shape at its place, and nothing without the option.
xdotool mousemove 500 650
sleep 0.3
focus_frame
xdotool mousemove 500 650
sleep 0.3
xdotool key ctrl+shift+F8
expect_eq "the capture without the pointer" Nabbet5 "$(document_title)"
saved no-pointer
/usr/bin/convert "$E2E_OUT/no-pointer.bmp" -fill black -draw "rectangle $COLOUR_X,$COLOUR_Y $((COLOUR_X + 159)),$((COLOUR_Y + 119))" "$E2E_OUT/no-pointer-rest.png"
expect_picture "without Include Pointer the picture has no pointer" "$E2E_OUT/no-pointer-rest.png" "$E2E_OUT/wallpaper-rest.png"
menu_item o p
focus_frame
xdotool mousemove 500 650
sleep 0.3
xdotool key ctrl+shift+F8
expect_eq "the capture with the pointer" Nabbet6 "$(document_title)"
saved pointer
/usr/bin/convert "$E2E_OUT/pointer.bmp" -fill black -draw "rectangle $COLOUR_X,$COLOUR_Y $((COLOUR_X + 159)),$((COLOUR_Y + 119))" "$E2E_OUT/pointer-rest.png"
changed=$(pixels_differ "$E2E_OUT/pointer-rest.png" "$E2E_OUT/wallpaper-rest.png")
box=$(/usr/bin/convert "$E2E_OUT/pointer-rest.png" "$E2E_OUT/wallpaper-rest.png" -compose difference -composite \
  -threshold 0 -format '%@' info:)
log "with the pointer: $changed pixels differ, within $box"
check "Include Pointer draws the pointer ($changed pixels)" test "$changed" -ge 20
read -r bw bh bx by <<<"$(echo "$box" | sed -E 's/([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)/\1 \2 \3 \4/')"
check "at the pointer's place: a pointer-sized shape with its hot spot at 500,650 ($box)" \
  test "$bw" -le 32 -a "$bh" -le 32 -a "$bx" -le 500 -a "$by" -le 650 -a $((bx + 32)) -gt 500 -a $((by + 32)) -gt 650
crop "$E2E_OUT/pointer.bmp" $((500 - 8)) $((650 - 8)) 40 40 "$E2E_OUT/pointer-closeup.png"
