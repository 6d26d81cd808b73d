#!/usr/bin/env bash
# Captures from the command line, as a script runs them: /capture screen /save x.png /exit
# ends with exit code 0 and a file holding the screen's pixels, no window of its own left;
# a failed save ends with 1 and its reason; bad arguments end with 2 and the usage line;
# without /exit the capture is handed to the running Pixelnab and becomes its document.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin command-line
settings_clear
wallpaper_set

# run_script OUT ARGS...: runs the program as a script would, waits for it, keeps its
# console output in OUT and prints its exit code.
run_script() {
  local out="$1"
  shift
  (cd "$E2E_OUT" && timeout 60 "$WINE_RUN" "$PIXELNAB_EXE" "$@") </dev/null >"$out" 2>&1
  echo $?
}

shot="$E2E_OUT/shot.png"
rc=$(run_script "$E2E_OUT/screen.out" /capture screen /save "$(windows_path "$shot")" /exit)
expect_eq "exit code of /capture screen /save ... /exit" 0 "$rc"
expect_picture "the saved file holds the screen's pixels" "$shot" "$WALLPAPER"
[ -z "$(find_window '^Pixelnab')" ] || fail "a Pixelnab window stayed open after /exit"

# A relative name is saved in the folder the script runs in; the type comes from the
# extension (JPEG: close to the screen, not exact).
rc=$(run_script "$E2E_OUT/relative.out" /CAPTURE Screen /save relative.jpg /exit)
expect_eq "exit code of a relative .jpg" 0 "$rc"
wait_until 10 file_complete "$E2E_OUT/relative.jpg" || fail "no relative.jpg in the script's folder"
expect_eq "relative.jpg is a JPEG" JPEG "$(/usr/bin/identify -format '%m' "$E2E_OUT/relative.jpg")"

# A folder that does not exist: exit code 1, the reason on the console, no message box.
rc=$(run_script "$E2E_OUT/failed.out" /capture allscreens /save 'Z:\no\such\folder\x.png' /exit)
expect_eq "exit code of a save that fails" 1 "$rc"
grep -q '^Pixelnab: .*x\.png' "$E2E_OUT/failed.out" || fail "no reason naming the file: $(cat "$E2E_OUT/failed.out")"
log "reason given: $(grep -m1 '^Pixelnab:' "$E2E_OUT/failed.out" | tr -d '\r')"
[ -z "$(find_window '.')" ] || fail "a window (a message box?) was left: $(xdotool search --onlyvisible --name '.' getwindowname %@)"

# Bad arguments: exit code 2, the reason and the usage line; nothing captured.
for args in "/capture window" "/capture screen /delay soon /exit" "/capture screen /save x.txt /exit" "/copy"; do
  # shellcheck disable=SC2086
  rc=$(run_script "$E2E_OUT/bad.out" $args)
  expect_eq "exit code of '$args'" 2 "$rc"
  grep -q '^Usage: Pixelnab.exe /capture screen|allscreens|active|rectangle \[/delay seconds\] \[/save file\] \[/copy\] \[/exit\]' \
    "$E2E_OUT/bad.out" || fail "no usage line for '$args': $(cat "$E2E_OUT/bad.out")"
done
log "bad arguments: $(head -1 "$E2E_OUT/bad.out" | tr -d '\r')"

# Without /exit, while Pixelnab runs: the second start hands the capture over and ends;
# the running one makes it a document and saves it.
app_start
handed="$E2E_OUT/handed.png"
rc=$(run_script "$E2E_OUT/handed.out" /capture screen /save "$(windows_path "$handed")")
expect_eq "exit code of the start that hands over" 0 "$rc"
# The frame hides for the capture (the default): the file is the bare screen.
expect_picture "the running Pixelnab saved the screen" "$handed" "$WALLPAPER"
expect_eq "the handed-over capture's document" Nabbet1 "$(document_title)"
