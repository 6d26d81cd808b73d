#!/usr/bin/env bash
# The Windows installer (make dist) under Wine: a silent install puts the program,
# its help, README and licence into Program Files with a Start-menu folder and an
# uninstall entry; the installed program starts and ends normally; a silent uninstall
# removes all of it but keeps the user's settings, unless /REMOVESETTINGS is given.
source "$(dirname "$0")/lib.sh" "$1"
e2e_begin installer

ROOT="$(cd "$E2E_DIR/../.." && pwd)"
SETUP="$BUILD_DIR/dist/Pixelnab-2.0-setup.exe"
INSTALLED="$WINEPREFIX/drive_c/Program Files/Pixelnab"
MENU_FOLDER="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pixelnab"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pixelnab'

"$ROOT/packaging/make-dist.sh" "$BUILD_DIR" >"$E2E_OUT/make-dist.log" 2>&1 || {
  cat "$E2E_OUT/make-dist.log" >&2
  fail "make-dist.sh failed"
}
check "make dist wrote the installer" test -s "$SETUP"
check "and the portable zip with the program, its help, README and licence" eval \
  'unzip -Z1 "$BUILD_DIR/dist/Pixelnab-2.0-portable.zip" | sort | tr "\n" " " | grep -qx "LICENSE.txt Pixelnab.chm Pixelnab.exe README.txt "'
check "the installer carries version 2.0 in its version information" eval \
  'strings -n 3 -el "$SETUP" | grep -A1 -x ProductVersion | tail -1 | grep -qx 2.0'

# A clean prefix for this test: no earlier installation, no settings.
rm -rf "$INSTALLED" "$MENU_FOLDER"
"$WINE_RUN" reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1
settings_clear

install_silently() {
  timeout 120 "$WINE_RUN" "$SETUP" /S </dev/null >>"$E2E_OUT/setup.log" 2>&1 || fail "the silent install failed"
  for f in Pixelnab.exe Pixelnab.chm README.txt LICENSE.txt Uninstall.exe; do
    [ -f "$INSTALLED/$f" ] || fail "not installed: Program Files/Pixelnab/$f"
  done
  cmp -s "$INSTALLED/Pixelnab.exe" "$BUILD_DIR/bin/Pixelnab.exe" || fail "the installed program is not the one built"
  [ -f "$MENU_FOLDER/Pixelnab.lnk" ] || fail "no Start-menu shortcut"
  "$WINE_RUN" reg query "$UNINSTALL_KEY" /v DisplayVersion 2>/dev/null | grep -q 'REG_SZ *2\.0' ||
    fail "no uninstall entry with version 2.0"
  log "ok: installed into Program Files with a Start-menu shortcut and an uninstall entry"
}
# uninstall_silently [OPTIONS]: the uninstaller runs a copy of itself and returns at
# once, so wait for its work to show.
uninstall_silently() {
  "$WINE_RUN" "C:\\Program Files\\Pixelnab\\Uninstall.exe" /S "$@" </dev/null >>"$E2E_OUT/setup.log" 2>&1
  wait_until 60 eval '[ ! -e "$INSTALLED" ]' || fail "the uninstaller left $(ls "$INSTALLED" | tr '\n' ' ')"
  [ ! -e "$MENU_FOLDER" ] || fail "the uninstaller left the Start-menu folder"
  ! "$WINE_RUN" reg query "$UNINSTALL_KEY" >/dev/null 2>&1 || fail "the uninstaller left its uninstall entry"
  log "ok: uninstalled: no files, shortcuts or uninstall entry left"
}

install_silently
PIXELNAB_EXE="$INSTALLED/Pixelnab.exe" app_start
expect_eq "the installed program's window" Pixelnab "$(window_name "$FRAME")"
menu f x
check "it ends with File > Exit" app_wait_exit
check "and stored its settings" test -n "$(setting_get Width)"

uninstall_silently
expect_eq "the settings stay after a plain uninstall" 7500 "$(setting_get Width)"

install_silently
uninstall_silently /REMOVESETTINGS
expect_eq "/REMOVESETTINGS removes them" "" "$(setting_get Width)"
