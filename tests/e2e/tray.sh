#!/usr/bin/env bash
# The notification-area icon on the real program: with "Keep in the notification area"
# on, the icon shows (Wine draws it in its own "Wine System Tray" window when there is no
# taskbar); closing the frame hides it there; the icon's menu takes a capture that leaves
# the frame hidden, is copied and saved, and is told in a notification; a click on the
# icon shows the frame with that capture; the menu's Exit ends the program.
# Screenshots of the icon, the menu and the notification go to $E2E_OUT (and, with
# PIXELNAB_SHOTS set, to that folder as tray-*.png).
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin tray
settings_clear
saved="$E2E_OUT/saved"
mkdir -p "$saved"
setting_set KeepInNotificationArea True
setting_set AfterCaptureCopy True
setting_set AfterCaptureSave True
setting_set AfterCaptureFolder "$(windows_path "$saved")"
setting_set AfterCaptureName 'Tray {n}'
setting_set AfterCaptureType PNG
wallpaper_set
app_start

keep_shot() {
  screenshot "$E2E_OUT/$1"
  [ -n "${PIXELNAB_SHOTS:-}" ] && cp "$E2E_OUT/$1" "$PIXELNAB_SHOTS/$1"
  return 0
}

tray_window() { xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -1; }
TRAY=$(wait_until "$E2E_TIMEOUT" tray_window && tray_window) || fail "no system tray window"
window_geometry "$TRAY"
# The first icon's centre: below the tray window's caption, at its left.
ICON_X=$((WX + 12))
ICON_Y=$((WY + 32))
tray_area="$WW""x""$WH+$WX+$WY"
TRAY_BOTTOM=$((WY + WH))
icon_drawn() {
  /usr/bin/import -window root -crop "16x16+$((ICON_X - 8))+$((ICON_Y - 8))" "$E2E_OUT/.icon.png"
  [ "$(colour_count "$E2E_OUT/.icon.png")" -gt 3 ]
}
wait_until 10 icon_drawn || fail "no icon drawn in the system tray"
keep_shot tray-icon.png
log "icon at $ICON_X,$ICON_Y in the tray window ($tray_area)"

# The close box hides the frame there; the program keeps running.
window_geometry "$FRAME"
xdotool mousemove $((WX + WW - 14)) $((WY + 12)) click 1
wait_until 10 eval '! frame_mapped' || fail "closing the frame did not hide it"
check "Pixelnab still runs with its window hidden" eval 'kill -0 "$APP_PID"'
xdotool mousemove 1000 740
sleep 0.5
screenshot "$E2E_OUT/before-capture.png"

# The icon's menu, opened with the right button.
menu_area="200x220+$ICON_X+$ICON_Y"
/usr/bin/import -window root -crop "$menu_area" "$E2E_OUT/.menu-before.png"
xdotool mousemove "$ICON_X" "$ICON_Y" click 3
wait_until 5 area_changed_and_settled "$menu_area" "$E2E_OUT/.menu-before.png" || fail "the icon's menu did not open"
keep_shot tray-menu.png
# Screen (the menu opens at the pointer; rows 17 pixels high below Show Pixelnab and a
# separator): the capture runs with the frame still hidden.
xdotool mousemove $((ICON_X + 35)) $((ICON_Y + 89)) click 1
xdotool mousemove 1000 740
wait_until 20 file_complete "$saved/Tray 1.png" || fail "the capture taken from the icon's menu was not saved"
check "the frame stayed hidden through the capture" eval '! frame_mapped'
# The menu is gone before the screen is taken: the file is the screen as it was, but
# for the tray window's own caption (active or not as the menu came and went).
crop "$saved/Tray 1.png" 0 "$TRAY_BOTTOM" 1024 $((768 - TRAY_BOTTOM)) "$E2E_OUT/.saved-below.png"
crop "$E2E_OUT/before-capture.png" 0 "$TRAY_BOTTOM" 1024 $((768 - TRAY_BOTTOM)) "$E2E_OUT/.before-below.png"
diff=$(pixels_differ "$E2E_OUT/.saved-below.png" "$E2E_OUT/.before-below.png")
check "the saved capture is the screen without the frame or the menu ($diff pixels differ)" test "$diff" -eq 0
expect_eq "the saved capture's size" 1024x768 "$(picture_size "$saved/Tray 1.png")"
clipboard_bitmap "$E2E_OUT/clipboard.bmp" || fail "the capture is not on the clipboard"
expect_eq "the clipboard holds the capture" 0 "$(pixels_differ "$E2E_OUT/clipboard.bmp" "$saved/Tray 1.png")"

# The notification: Wine shows it as a balloon by the icon, about two seconds later.
balloon_area="500x200+0+$TRAY_BOTTOM"
crop "$E2E_OUT/before-capture.png" 0 "$TRAY_BOTTOM" 500 200 "$E2E_OUT/.balloon-before.png"
wait_until 15 area_changed_and_settled "$balloon_area" "$E2E_OUT/.balloon-before.png" || fail "no notification appeared"
keep_shot tray-notification.png
# Wine's balloon does not tell the program of a click on it (the unit tests send that
# message themselves); a click on the icon shows the frame with the capture in front.
xdotool mousemove "$ICON_X" "$ICON_Y" click 1
wait_until 10 frame_mapped || fail "clicking the icon did not show the frame"
expect_eq "the active document is the capture" Nabbet1 "$(document_title)"

# Exit from the icon's menu ends the program, icon and all. The balloon goes first: while
# it shows, Wine's tray does not open the icon's menu (seen when the file was written late).
balloon_gone() {
  /usr/bin/import -window root -crop "$balloon_area" "$E2E_OUT/.balloon-now.png"
  same_picture "$E2E_OUT/.balloon-now.png" "$E2E_OUT/.balloon-before.png"
}
if ! balloon_gone; then
  xdotool mousemove 250 $((TRAY_BOTTOM + 40)) click 1
  wait_until 15 balloon_gone || log "warning: the balloon is still shown"
fi
/usr/bin/import -window root -crop "$menu_area" "$E2E_OUT/.menu-before.png"
xdotool mousemove "$ICON_X" "$ICON_Y" click 3
wait_until 5 area_changed_and_settled "$menu_area" "$E2E_OUT/.menu-before.png" || fail "the icon's menu did not open again"
xdotool mousemove $((ICON_X + 35)) $((ICON_Y + 149)) click 1
check "Exit in the icon's menu ends Pixelnab" app_wait_exit
sleep 0.5
check "and its icon is gone" eval '! icon_drawn'

# Start with Windows starts Pixelnab with /tray: hidden there, its icon ready.
(cd "$(dirname "$PIXELNAB_EXE")" && exec "$WINE_RUN" "$PIXELNAB_EXE" /tray) </dev/null >>"$E2E_OUT/program.log" 2>&1 &
APP_RUNNER=$!
wait_until "$E2E_TIMEOUT" icon_drawn || fail "no icon after a start with /tray"
APP_PID=$(pgrep -P "$APP_RUNNER" | head -1)
sleep 1
check "started with /tray, no window shows" eval '[ -z "$(find_window "^Pixelnab")" ]'
xdotool mousemove "$ICON_X" "$ICON_Y" click 1
wait_until 10 started_frame || fail "a click on the icon did not show the frame started with /tray"
log "a click on the icon showed the frame"
