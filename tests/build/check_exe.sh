#!/usr/bin/env bash
# The shipped executable stands alone: it imports only system DLLs, and it carries
# the manifest that asks for visual styles and per-monitor DPI awareness.
set -u
exe="$1"
fail=0
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|OLE32|OLEAUT32|SHELL32|SHLWAPI|ADVAPI32|WINSPOOL\.DRV|msvcrt|api-ms-win-.*|WINDOWSCODECS|UxTheme|dwmapi|gdiplus)\.dll$|^WINSPOOL\.DRV$'
while read -r dll; do
  if ! echo "$dll" | grep -qiE "$allowed"; then
    echo "FAIL: imports a non-system DLL: $dll"; fail=1
  fi
done < <(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}')
manifest=$(strings -n 8 "$exe" | tr -d '\r' | sed -n '/<assembly/,/<\/assembly>/p')
for needle in 'Microsoft.Windows.Common-Controls' 'version="6.0.0.0"' 'PerMonitorV2' 'true/pm'; do
  if ! grep -qF "$needle" <<<"$manifest"; then echo "FAIL: manifest lacks $needle"; fail=1; fi
done
[ $fail -eq 0 ] && echo "OK: system DLLs only; manifest with visual styles and per-monitor DPI awareness"
exit $fail
