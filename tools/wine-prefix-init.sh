#!/usr/bin/env bash
# Creates the build's private Wine prefix once (under a lock), ready for the program:
# fonts that Debian's Wine does not find by itself, and window decorations drawn by
# Wine so that windows have captions and borders without a window manager.
set -u
BUILD_DIR="$1"
export WINEPREFIX="$BUILD_DIR/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
ready="$WINEPREFIX/.pixelnab-ready"
[ -f "$ready" ] && exit 0
mkdir -p "$BUILD_DIR"
exec 9>"$BUILD_DIR/wineprefix.lock"
flock 9
[ -f "$ready" ] && exit 0
log="$BUILD_DIR/wineprefix-init.log"
{
  wineboot -u
  wineserver -w
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus /t REG_SZ /d N /f
  wineserver -w
} >"$log" 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-prefix-init: could not create the Wine prefix (see $log)" >&2
  exit 1
fi
touch "$ready"
