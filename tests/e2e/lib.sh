# Shared helpers for the end-to-end scenarios: they start the real Pixelnab.exe under
# Wine on the test display, drive it with xdotool like a user would, and read back only
# what a user could see or keep (window titles, screenshots, files, the clipboard and
# the registry).
#
# A scenario is a bash script run as `scenario.sh BUILD_DIR`; it sources this file,
# calls e2e_begin, then drives the program. Any failed check ends it with a message and
# a screenshot in $E2E_OUT; the program is always killed on the way out.
#
#   source "$(dirname "$0")/lib.sh" "$1"
#   e2e_begin first-start
#   settings_clear
#   app_start
#   ...

set -u

E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD_DIR="$(cd "${1:?usage: scenario.sh BUILD_DIR}" && pwd)"
WINE_RUN="$BUILD_DIR/wine-run.sh"
PIXELNAB_EXE="${PIXELNAB_EXE:-$BUILD_DIR/bin/Pixelnab.exe}"
# The display CTest gave this scenario (tools/test-slot.sh), never the user's own.
source "$E2E_DIR/../../tools/test-slot.sh"
SLOT_DIR=$(test_slot_dir "$BUILD_DIR")
export WINEPREFIX="$SLOT_DIR/wineprefix"
if [ -s "$SLOT_DIR/xvfb.display" ]; then
  export DISPLAY=":$(cat "$SLOT_DIR/xvfb.display")"
fi
SETTINGS_KEY='HKCU\Software\VB and VBA Program Settings\Pixelnab\Main'
TWIPS_PER_PIXEL=15

# Seconds that every wait gives up after; a slow, shared machine needs some slack.
E2E_TIMEOUT="${E2E_TIMEOUT:-20}"

APP_PID=""        # the Wine process of the program under test
WALLPAPER=""      # the picture on the root window, when a scenario set one
APP_RUNNER=""     # the wine-run.sh that started it
FRAME=""          # X window id of the main window
E2E_NAME=""
E2E_OUT=""
E2E_STARTED=$SECONDS
E2E_PIDS=()       # other processes a scenario started, ended with it

# ---------------------------------------------------------------------------
# Scenario life

e2e_begin() {
  E2E_NAME="$1"
  E2E_OUT="$BUILD_DIR/e2e/$E2E_NAME"
  rm -rf "$E2E_OUT"
  mkdir -p "$E2E_OUT"
  trap e2e_end EXIT
  if [ -z "${DISPLAY:-}" ]; then
    echo "$E2E_NAME: no test display (the display fixture writes $SLOT_DIR/xvfb.display)" >&2
    exit 1
  fi
  xdotool mousemove 1000 740 >/dev/null 2>&1   # park the pointer out of the way
  log "begin on $DISPLAY"
}

e2e_end() {
  local rc=$?
  app_kill
  other_kill
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "$WALLPAPER" ] && wallpaper_clear
  if [ $rc -eq 0 ]; then
    log "passed in $((SECONDS - E2E_STARTED)) s"
  else
    log "FAILED after $((SECONDS - E2E_STARTED)) s (artefacts in $E2E_OUT)"
  fi
  exit $rc
}

log() { echo "[$E2E_NAME +$((SECONDS - E2E_STARTED))s] $*"; }

fail() {
  echo "[$E2E_NAME] FAIL: $*" >&2
  screenshot "$E2E_OUT/failure.png" 2>/dev/null && echo "[$E2E_NAME] screen at failure: $E2E_OUT/failure.png" >&2
  xwininfo -root -tree 2>/dev/null | grep -v 'has no name' >"$E2E_OUT/windows.txt"
  xwininfo -root -children 2>/dev/null >"$E2E_OUT/stacking.txt"  # bottom to top
  # Which of them were shown: a hidden or minimised window is listed all the same.
  local id
  for id in $(awk '/^ +0x[0-9a-f]+ "/ && !/Default IME/ { print $1 }' "$E2E_OUT/windows.txt"); do
    echo "$id $(xwininfo -id "$id" 2>/dev/null | awk -F': ' '/Map State/ { print $2 }')"
  done >"$E2E_OUT/map-state.txt"
  # Where the keyboard went, and what the program's threads were doing.
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null)
  echo "keyboard focus: $focus \"$(xdotool getwindowname "$focus" 2>/dev/null)\"" >"$E2E_OUT/focus.txt"
  local pid
  pid=$(WINEDEBUG=-all timeout 20 wine winedbg --command "info process" 2>/dev/null | awk "tolower(\$0) ~ /'pixelnab.exe'/ { print \$1; exit }")
  if [ -n "$pid" ]; then
    printf 'attach 0x%s\nbt all\ndetach\nquit\n' "$pid" | WINEDEBUG=-all timeout 60 wine winedbg 2>/dev/null |
      awk '/^Backtracing for thread/ { keep = tolower($0) ~ /pixelnab\.exe/ } keep' >"$E2E_OUT/backtrace.txt"
  fi
  exit 1
}

# check DESCRIPTION COMMAND...: runs the command, fails the scenario when it fails.
check() {
  local what="$1"
  shift
  if "$@"; then log "ok: $what"; else fail "$what"; fi
}

expect_eq() {  # expect_eq DESCRIPTION EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then log "ok: $1 = $3"; else fail "$1: expected '$2', got '$3'"; fi
}

# wait_until SECONDS COMMAND...: polls the command every 0.1 s until it succeeds.
wait_until() {
  local limit="$1" end
  shift
  end=$(($(date +%s%N) + limit * 1000000000))
  while ! "$@" 2>/dev/null; do
    [ "$(date +%s%N)" -ge "$end" ] && return 1
    sleep 0.1
  done
  return 0
}

# ---------------------------------------------------------------------------
# The program

# Starts Pixelnab and waits for its main window; sets FRAME and APP_PID. The array
# APP_ARGS, when set, holds its command-line arguments.
app_start() {
  [ -f "$PIXELNAB_EXE" ] || fail "no program at $PIXELNAB_EXE"
  # From its own folder, as Explorer would start it, unless the scenario wants the
  # file dialogs to open in a folder of its own (APP_CWD).
  local dir="${APP_CWD:-$(dirname "$PIXELNAB_EXE")}"
  [ -z "$(find_window '^Pixelnab$')" ] && [ -z "$(find_window '^Pixelnab - ')" ] || fail "a Pixelnab window is already open on $DISPLAY"
  (cd "$dir" && exec "$WINE_RUN" "$PIXELNAB_EXE" "${APP_ARGS[@]}") </dev/null >>"$E2E_OUT/program.log" 2>&1 &
  APP_RUNNER=$!
  # The program is the Wine process that wine-run.sh starts.
  wait_until "$E2E_TIMEOUT" started_frame || fail "the main window did not appear within ${E2E_TIMEOUT} s"
  # Ready for the user once its toolbar has been painted.
  wait_until "$E2E_TIMEOUT" toolbar_painted || fail "the toolbar was not painted"
  log "started: window $FRAME, process $APP_PID"
}
toolbar_painted() {
  toolbar_button_shot Open "$E2E_OUT/.button-open.png"
  ! is_grey_only "$E2E_OUT/.button-open.png"
}
started_frame() {
  local child id
  for child in $(pgrep -P "$APP_RUNNER"); do
    id=$(xdotool search --all --onlyvisible --pid "$child" --name '^Pixelnab' 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      FRAME=$id
      APP_PID=$child
      return 0
    fi
  done
  return 1
}

# Kills the program if it is still running (the scenario's own process only).
app_kill() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then
    kill "$APP_PID" 2>/dev/null
    wait_until 5 not_running "$APP_PID" || kill -9 "$APP_PID" 2>/dev/null
  fi
  if [ -n "$APP_RUNNER" ]; then
    wait "$APP_RUNNER" 2>/dev/null
  fi
  APP_PID=""
  APP_RUNNER=""
  FRAME=""
}

not_running() { ! kill -0 "$1" 2>/dev/null; }

# Waits until the program has ended by itself (after Exit).
app_wait_exit() {
  wait_until "${1:-$E2E_TIMEOUT}" not_running "$APP_PID" || return 1
  wait "$APP_RUNNER" 2>/dev/null
  APP_PID=""
  APP_RUNNER=""
  FRAME=""
}

# ---------------------------------------------------------------------------
# Windows

# Prints the id of the first visible window whose title matches REGEX (of any
# program on the test display); wait_window waits up to TIMEOUT seconds for one.
find_window() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1
}
wait_window() {
  local regex="$1" limit="${2:-$E2E_TIMEOUT}" end id
  end=$(($(date +%s%N) + limit * 1000000000))
  while :; do
    id=$(find_window "$regex")
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ "$(date +%s%N)" -ge "$end" ] && return 1
    sleep 0.1
  done
}
window_gone() { [ -z "$(find_window "$1")" ]; }
wait_window_gone() { wait_until "${2:-$E2E_TIMEOUT}" window_gone "$1"; }

window_name() { xdotool getwindowname "$1" 2>/dev/null; }
name_is() { [ "$(window_name "$1")" == "$2" ]; }
# Waits until window WIN is titled TEXT exactly.
wait_name() { wait_until "${3:-$E2E_TIMEOUT}" name_is "$1" "$2"; }

# Sets WX, WY, WW, WH to window WIN's outer position and size in pixels.
window_geometry() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}
geometry_is() {  # geometry_is WIN X Y W H
  window_geometry "$1"
  [ "$WX $WY $WW $WH" == "$2 $3 $4 $5" ]
}

# ---------------------------------------------------------------------------
# Mouse and keyboard

# click WIN X Y [BUTTON]: clicks at X, Y relative to the window's top-left corner.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"
  sleep 0.2
}
double_click() {
  xdotool mousemove --window "$1" "$2" "$3" click --repeat 2 --delay 80 1
  sleep 0.2
}
# drag X1 Y1 X2 Y2: presses the left button at one screen point and releases it at
# the other, moving in steps so that the program sees the pointer travel.
drag() {
  local x1=$1 y1=$2 x2=$3 y2=$4 i
  xdotool mousemove "$x1" "$y1" mousedown 1
  sleep 0.2
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((x1 + (x2 - x1) * i / 8)) $((y1 + (y2 - y1) * i / 8))
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.2
}
# keys KEY...: types keys into whatever has the focus (xdotool key syntax).
keys() {
  xdotool key --delay 60 "$@"
  sleep 0.2
}
type_text() {
  xdotool type --delay 30 "$1"
  sleep 0.1
}

# Clicks into the frame (on its caption, away from the buttons) so that it has the
# keyboard focus: Wine only delivers accelerators after a click. Two clicks in a row
# land 40 pixels apart, so that they never make a double-click (which would maximise).
FOCUS_SIDE=0
# Without a window manager the X server's keyboard focus can stay on another program's
# window (one that got the activation while the frame was hidden for a capture) while Wine
# counts the frame as the active window already, so the click does not move it: the keys
# would go to that window. Then the focus is given to the frame's X window directly.
focus_frame() {
  window_geometry "$FRAME"
  FOCUS_SIDE=$((1 - FOCUS_SIDE))
  click "$FRAME" $((WW / 2 - 20 + 40 * FOCUS_SIDE)) 10
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null)
  if [ -n "$focus" ] && [ "$focus" != "$FRAME" ] && frame_mapped; then
    log "the keyboard focus was on $focus ($(xdotool getwindowname "$focus" 2>/dev/null)), not the frame: given to the frame" >&2
    xdotool windowfocus "$FRAME" 2>/dev/null
    sleep 0.2
  fi
}

# menu ACCESS-KEY ITEM-KEY: chooses a menu command with the keyboard, e.g. `menu f x`.
# Without a window manager Wine's menu loop acts on a key only once another X event comes
# after it: each key is followed by a nudge of the pointer, or on a busy machine the
# command runs late or the key is lost.
menu() {
  focus_frame
  keys "alt+$1"
  menu_nudge
  keys "$2"
  menu_nudge
}
menu_nudge() { xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0; }

# The menu bar's titles: their centres relative to the frame's top-left corner.
declare -A MENU_X=([File]=17 [Edit]=49 [View]=83 [Capture]=128 [Options]=181 [Window]=233 [Help]=277)
MENU_Y=34
# Rows of the opened menus, relative to the frame: items 1 and 2 of every menu, and
# the rows of the File menu's items below its separators.
MENU_ROW1=52
MENU_ROW2=70
declare -A FILE_ROW=([Open]=52 [Close]=71 [Save]=88 [Print]=114 [Exit]=140)
declare -A EDIT_ROW=([Undo]=52 [Redo]=70 [Copy]=96 [Paste]=114 [Empty]=131 [Select All]=156 [Crop]=174)

# Opens menu TITLE with a click (so that no item is highlighted), takes a screenshot
# of it into $MENU_SHOT and leaves it open; menu_close closes it.
MENU_SHOT=""
menu_shot() {
  focus_frame
  window_geometry "$FRAME"
  # The popup's first rows, before and after the click: wait until it has drawn.
  local area="120x40+$((WX + ${MENU_X[$1]} - 20))+$((WY + MENU_ROW1 - 8))"
  /usr/bin/import -window root -crop "$area" "$E2E_OUT/.menu-before.png"
  click "$FRAME" "${MENU_X[$1]}" "$MENU_Y"
  wait_until 5 area_changed_and_settled "$area" "$E2E_OUT/.menu-before.png" ||
    log "warning: menu $1 did not seem to open"
  MENU_SHOT="$E2E_OUT/.menu-$1.png"
  screenshot "$MENU_SHOT"
}
# area_changed_and_settled GEOMETRY BEFORE: the screen area differs from BEFORE and
# two shots 50 ms apart are the same.
area_changed_and_settled() {
  /usr/bin/import -window root -crop "$1" "$E2E_OUT/.area1.png"
  same_picture "$E2E_OUT/.area1.png" "$2" && return 1
  sleep 0.05
  /usr/bin/import -window root -crop "$1" "$E2E_OUT/.area2.png"
  same_picture "$E2E_OUT/.area1.png" "$E2E_OUT/.area2.png"
}
# screen_settled: two shots of the whole screen 150 ms apart are the same (a window
# just moved or shown has finished painting).
screen_settled() {
  screenshot "$E2E_OUT/.settle1.png"
  sleep 0.15
  screenshot "$E2E_OUT/.settle2.png"
  same_picture "$E2E_OUT/.settle1.png" "$E2E_OUT/.settle2.png"
}
menu_close() {
  keys Escape Escape
}

# black_pixels FILE X Y W H: how many pure black pixels the area (relative to the
# frame) holds. Enabled menu text and check marks are black; disabled text is grey.
black_pixels() {
  window_geometry "$FRAME"
  /usr/bin/convert "$1" -crop "$4x$5+$((WX + $2))+$((WY + $3))" +repage txt:- | grep -c '#000000'
}
# Text of the item in the menu row at Y, starting at X: black when enabled.
menu_text_black() { [ "$(black_pixels "$MENU_SHOT" "$1" $(($2 - 6)) 80 12)" -gt 0 ]; }
# A check mark left of the menu item at X, Y.
menu_checked() { [ "$(black_pixels "$MENU_SHOT" $(($1 - 6)) $(($2 - 5)) 12 10)" -gt 0 ]; }

# Toolbar buttons, by key: the centre of each button relative to the frame's top-left
# corner. Buttons are 23 pixels wide and separators 6, starting 4 pixels in; the
# toolbar sits below the caption and the menu bar.
declare -A TOOLBAR_X=(
  [Open]=15 [Save]=38 [Print]=61 [Copy]=90 [Empty]=113 [Rectangle]=142
  [Active Window]=165 [Window]=188 [Screen]=211 [Hide]=240 [About]=269 [Exit]=292
)
TOOLBAR_Y=53

toolbar() {
  [ -n "${TOOLBAR_X[$1]:-}" ] || fail "no toolbar button '$1'"
  click "$FRAME" "${TOOLBAR_X[$1]}" "$TOOLBAR_Y"
  xdotool mousemove 1000 740   # no hot-tracking highlight left on the button
  sleep 0.1
}

# ---------------------------------------------------------------------------
# Pictures

screenshot() { /usr/bin/import -window root "$1"; }

# crop SOURCE X Y W H TARGET (screen pixels)
crop() { /usr/bin/convert "$1" -crop "$4x$5+$2+$3" +repage "$6"; }

# Saves the toolbar button KEY as it looks now (16 x 16 image area plus edges) to FILE.
toolbar_button_shot() {
  local shot="$E2E_OUT/.button.png"
  screenshot "$shot"
  window_geometry "$FRAME"
  crop "$shot" $((WX + TOOLBAR_X[$1] - 11)) $((WY + TOOLBAR_Y - 11)) 23 22 "$2"
}

# button_looks_like KEY REFERENCE: the button looks now as it did in the reference
# shot; use with wait_until, as the toolbar may still be painting.
button_looks_like() {
  toolbar_button_shot "$1" "$E2E_OUT/.button-now.png"
  same_picture "$E2E_OUT/.button-now.png" "$2"
}
button_looks_unlike() {
  toolbar_button_shot "$1" "$E2E_OUT/.button-now.png"
  ! same_picture "$E2E_OUT/.button-now.png" "$2"
}

# Number of pixels in which two pictures of equal size differ.
pixels_differ() { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
same_picture() { [ "$(pixels_differ "$1" "$2")" == "0" ]; }

# Number of different colours in a picture.
colour_count() { /usr/bin/convert "$1" -format '%k' info:; }

# A disabled toolbar image is drawn in greys only, without black; an enabled one has
# colour or black outlines.
is_grey_only() {
  /usr/bin/convert "$1" -colorspace HSL -channel G -separate +channel -format '%[fx:maxima]' info: |
    awk '{ exit !($1 < 0.1) }' || return 1
  ! /usr/bin/convert "$1" txt:- | grep -q '#000000'
}

# ---------------------------------------------------------------------------
# Settings (the program's registry key in the test prefix)

settings_clear() {
  "$WINE_RUN" reg delete "${SETTINGS_KEY%\\Main}" /f >/dev/null 2>&1
  # The file dialogs remember the last folder per program; forget it, so that they
  # open in the program's working folder as on a first run.
  "$WINE_RUN" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32\LastVisitedMRU' /f >/dev/null 2>&1
  # A program of the scenario before may still be writing its settings as it exits
  # (seen once: the key was back at once); they are cleared again once it has.
  local tries=0
  while [ -n "$(setting_get Width)" ]; do
    tries=$((tries + 1))
    [ $tries -le 50 ] || fail "could not clear the stored settings"
    [ $tries -eq 1 ] && log "the stored settings came back; clearing them again"
    sleep 0.2
    "$WINE_RUN" reg delete "${SETTINGS_KEY%\\Main}" /f >/dev/null 2>&1
  done
}
# setting_get NAME: prints the stored text, nothing when absent.
setting_get() {
  "$WINE_RUN" reg query "$SETTINGS_KEY" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v name="$1" '$1 == name && $2 == "REG_SZ" { sub(/^[ \t]*[^ \t]+[ \t]+REG_SZ[ \t]+/, ""); print; exit }'
}
setting_set() {
  "$WINE_RUN" reg add "$SETTINGS_KEY" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1 || fail "could not store $1"
}

# Where the text or the check mark of the items of each menu begins, relative to the frame.
FILE_TEXT_X=22
EDIT_TEXT_X=54
VIEW_CHECK_X=75
OPTIONS_CHECK_X=168

# The state of the document commands as the user sees it: Save, Print and Copy on
# the toolbar in colour and Close, Save, Print in the File menu and Copy To Clipboard
# in the Edit menu in black when enabled, all greyed out when disabled.
document_commands_are() {  # document_commands_are enabled|disabled
  local key item want_grey=1 shot
  [ "$1" == enabled ] && want_grey=0
  for key in Save Print Copy; do
    shot="$E2E_OUT/.button-$key.png"
    toolbar_button_shot "$key" "$shot"
    if is_grey_only "$shot"; then [ $want_grey -eq 1 ] || { log "toolbar $key is greyed"; return 1; }
    else [ $want_grey -eq 0 ] || { log "toolbar $key is not greyed"; return 1; }; fi
  done
  menu_shot File
  for item in Close Save Print; do
    if menu_text_black "$FILE_TEXT_X" "${FILE_ROW[$item]}"; then
      [ $want_grey -eq 0 ] || { menu_close; log "menu File $item is enabled"; return 1; }
    else
      [ $want_grey -eq 1 ] || { menu_close; log "menu File $item is greyed"; return 1; }
    fi
  done
  menu_text_black "$FILE_TEXT_X" "${FILE_ROW[Open]}" || { menu_close; log "menu File Open is greyed"; return 1; }
  menu_close
  menu_shot Edit
  if menu_text_black "$EDIT_TEXT_X" "${EDIT_ROW[Copy]}"; then
    [ $want_grey -eq 0 ] || { menu_close; log "menu Copy To Clipboard is enabled"; return 1; }
  else
    [ $want_grey -eq 1 ] || { menu_close; log "menu Copy To Clipboard is greyed"; return 1; }
  fi
  menu_text_black "$EDIT_TEXT_X" "${EDIT_ROW[Empty]}" || { menu_close; log "menu Empty Clipboard is greyed"; return 1; }
  menu_close
  # The buttons that never change state.
  for key in Open Empty Screen; do
    toolbar_button_shot "$key" "$E2E_OUT/.button-$key.png"
    ! is_grey_only "$E2E_OUT/.button-$key.png" || { log "toolbar $key is greyed"; return 1; }
  done
}

# Edit > Paste as the user sees it: black while the clipboard holds a picture.
paste_enabled() {
  menu_shot Edit
  local rc=1
  menu_text_black "$EDIT_TEXT_X" "${EDIT_ROW[Paste]}" && rc=0
  menu_close
  return $rc
}

# The hide option as the user sees it: the check mark in the Options menu.
hide_option_checked() {
  menu_shot Options
  local rc=1
  menu_checked "$OPTIONS_CHECK_X" "$MENU_ROW1" && rc=0
  menu_close
  return $rc
}

# ---------------------------------------------------------------------------
# Documents

# Prints the screen position of a point in the active document's caption bar (the
# active caption colour, left of its buttons), or fails when none is seen.
ACTIVE_CAPTION='50 150 250'
active_document_caption() {  # [run]: print X Y LENGTH of the whole caption bar row
  window_geometry "$FRAME"
  screenshot "$E2E_OUT/.docs.png"
  # The document area: below the toolbar, above the status bar.
  local top=$((WY + 66)) height=$((WH - 66 - 25))
  /usr/bin/convert "$E2E_OUT/.docs.png" -crop "$((WW - 8))x$height+$((WX + 4))+$top" +repage ppm:- |
    python3 "$E2E_DIR/find_colour_run.py" $ACTIVE_CAPTION 40 $((WX + 4)) "$top" "$@"
}

# The title of the active document, read the way a user sees it: maximise the
# document by double-clicking its caption, so that the frame's title shows
# "Pixelnab - [title]", then put the documents back with Window > Cascade Images.
document_title() {
  local point="" title try
  for try in $(seq 50); do
    point=$(active_document_caption) && break
    # Under Wine without a window manager, the X server's late FocusOut for a frame hidden
    # during a capture can leave it shown again but inactive (Wine then makes the desktop
    # the foreground), its documents' captions all grey: a click gives it the activation back.
    if [ $((try % 10)) -eq 0 ] && frame_mapped; then focus_frame; fi
    sleep 0.1
  done
  [ -n "$point" ] || { log "no active document caption on screen" >&2; return 1; }
  # shellcheck disable=SC2086
  xdotool mousemove $point click --repeat 2 --delay 80 1
  if ! wait_until 5 frame_shows_document; then
    log "double-clicking the caption at $point did not maximise a document" >&2
    return 1
  fi
  title=$(window_name "$FRAME")
  title=${title#Pixelnab - [}
  echo "${title%]}"
  menu w c
  wait_until 5 eval '! frame_shows_document' || { menu w c; wait_until 5 eval '! frame_shows_document'; } ||
    log "warning: the document stayed maximised" >&2
}
frame_mapped() { xdotool search --onlyvisible --name '^Pixelnab' 2>/dev/null | grep -qx "$FRAME"; }
frame_shows_document() { [[ "$(window_name "$FRAME")" == "Pixelnab - ["*"]" ]]; }

# ---------------------------------------------------------------------------
# The screen's background and windows of other sizes

# Puts a fixed, colourful picture (1024 x 768) on the root window, so that captures
# have something to show and can be compared with it pixel for pixel.
wallpaper_set() {
  WALLPAPER="$E2E_OUT/wallpaper.png"
  /usr/bin/convert -size 1024x768 xc: \
    -sparse-color Bilinear '0,0 #2a5caa 1023,0 #3fa7d6 0,767 #1b2845 1023,767 #59c38f' \
    -fill '#ff00ff' -draw 'rectangle 0,0 39,39' \
    -fill '#f6c445' -draw 'circle 820,160 820,230' \
    -fill '#ffffff' -draw 'rectangle 60,520 360,700' \
    -fill '#e4572e' -draw 'rectangle 90,550 200,670' \
    -fill '#17bebb' -draw 'rectangle 220,550 330,670' \
    -depth 8 "PNG24:$WALLPAPER"
  /usr/bin/display -window root "$WALLPAPER"
  screenshot "$E2E_OUT/.root.png"
  same_picture "$WALLPAPER" "$E2E_OUT/.root.png" || fail "the wallpaper did not reach the screen"
}
# Back to the black screen that the other tests expect.
wallpaper_clear() {
  /usr/bin/convert -size 8x8 xc:black "$E2E_OUT/.black.png"
  /usr/bin/display -window root "$E2E_OUT/.black.png"
  WALLPAPER=""
}

# Prints the id of this program's visible window of exactly the given geometry.
window_of_geometry() {  # window_of_geometry X Y W H
  local id
  for id in $(xdotool search --all --onlyvisible --pid "$APP_PID" --name '.*' 2>/dev/null); do
    if geometry_is "$id" "$1" "$2" "$3" "$4"; then echo "$id"; return 0; fi
  done
  return 1
}

# ---------------------------------------------------------------------------
# Files through the program's own dialogs

# A Linux path as the Windows programs of the prefix see it.
windows_path() { echo "Z:${1//\//\\}"; }

# file_complete PATH: the file exists and its size has stopped changing.
file_complete() {
  [ -s "$1" ] || return 1
  local before
  before=$(stat -c %s "$1")
  sleep 0.2
  [ "$(stat -c %s "$1")" == "$before" ]
}

# save_document [PATH]: File > Save; types PATH (a Linux path) into the Save dialog or,
# without one, accepts the name the dialog suggests; waits for the dialog to close.
save_document() {
  menu f s
  # Without a window manager, a late FocusOut from a window hidden for a capture can take
  # the keyboard from the frame the click has just activated: once, the keys go again.
  wait_window '^Save As$' 8 >/dev/null || { log "no Save As dialog yet: File > Save once more"; menu f s
    wait_window '^Save As$' >/dev/null; } || fail "File > Save showed no Save As dialog"
  if [ -n "${1:-}" ]; then
    keys ctrl+a
    type_text "$(windows_path "$1")"
  fi
  keys Return
  wait_window_gone '^Save As$' || fail "the Save As dialog did not close"
}

# expect_picture DESCRIPTION FILE REFERENCE: the saved picture equals the reference.
expect_picture() {
  wait_until 10 file_complete "$2" || fail "$1: no file $2"
  local diff
  diff=$(pixels_differ "$2" "$3")
  if [ "$diff" == "0" ]; then log "ok: $1"; else fail "$1: $diff pixels differ from $3"; fi
}
picture_size() { /usr/bin/identify -format '%wx%h' "$1"; }

# The rectangle selector: a borderless window of this program over the whole screen.
wait_selector() { wait_until "$E2E_TIMEOUT" window_of_geometry 0 0 1024 768 >/dev/null; }
# The window picker and the icon that the user drags out of it.
PICKER_ICON_X=123
PICKER_ICON_Y=80

# ---------------------------------------------------------------------------
# A second Windows program: Wine's Notepad, as a window of another process to pick.

OTHER_PID=""
OTHER_RUNNER=""
OTHER_WINDOW=""
other_start() {
  [ -z "$(find_window 'Notepad$')" ] || fail "a Notepad window is already open on $DISPLAY"
  "$WINE_RUN" notepad </dev/null >>"$E2E_OUT/notepad.log" 2>&1 &
  OTHER_RUNNER=$!
  # Wine starts Notepad as a process of its own; the window that appears is ours.
  OTHER_WINDOW=$(wait_window 'Notepad$') || fail "Notepad did not start"
  OTHER_PID=$(xdotool getwindowpid "$OTHER_WINDOW")
}
other_kill() {
  if [ -n "$OTHER_PID" ] && kill -0 "$OTHER_PID" 2>/dev/null; then
    kill "$OTHER_PID"
    wait_until 5 not_running "$OTHER_PID" || kill -9 "$OTHER_PID" 2>/dev/null
  fi
  [ -n "$OTHER_RUNNER" ] && wait "$OTHER_RUNNER" 2>/dev/null
  OTHER_PID=""
  OTHER_RUNNER=""
}

# open_file PATH: File > Open, types PATH (a Linux path) into the Open dialog, Enter.
open_file() {
  menu f o
  wait_window '^Open$' >/dev/null || fail "File > Open showed no Open dialog"
  keys ctrl+a
  type_text "$(windows_path "$1")"
  keys Return
  wait_window_gone '^Open$' || fail "the Open dialog did not close"
}

# Prints the id of a visible window of this program titled TITLE other than the frame.
other_window_titled() {
  local id
  for id in $(xdotool search --all --onlyvisible --pid "$APP_PID" --name "^$1\$" 2>/dev/null); do
    [ "$id" != "$FRAME" ] && { echo "$id"; return 0; }
  done
  return 1
}

# The clipboard as another program sees it, through the X selection Wine offers.
clipboard_targets() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null; }
clipboard_has() { clipboard_targets | grep -qx "$1"; }
clipboard_bitmap() { timeout 5 xclip -selection clipboard -t image/bmp -o >"$1" 2>/dev/null && [ -s "$1" ]; }
# The platform's overwrite question over the Save As dialog: a second, smaller window
# of the program that is neither the frame nor the dialog.
overwrite_prompt_shown() {
  local id name
  for id in $(xdotool search --all --onlyvisible --pid "$APP_PID" --name '.' 2>/dev/null); do
    name=$(window_name "$id")
    [ "$id" == "$FRAME" ] || [ "$name" == "Save As" ] || [ "$name" == "Default IME" ] || return 0
  done
  return 1
}
