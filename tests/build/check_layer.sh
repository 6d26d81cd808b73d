#!/usr/bin/env bash
# The layer check (cmake/CheckLayer.cmake) on one-line sources: each row is a layer, the
# folders it declares, whether it must build without Windows, the include, and the verdict.
# A check that let everything through would leave every build green.
# Usage: check_layer.sh cmake-program CheckLayer.cmake
set -u
cmake="$1"
check="$2"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0
rows=0
while IFS='|' read -r layer allowed pure include expected; do
  rows=$((rows + 1))
  printf '#include %s\n' "$include" >"$dir/source.cpp"
  rm -f "$dir/stamp"
  if "$cmake" "-DLAYER=$layer" "-DALLOWED=$allowed" "-DPURE=$pure" "-DSOURCES=$dir/source.cpp" \
       "-DSTAMP=$dir/stamp" -P "$check" >/dev/null 2>&1 && [ -f "$dir/stamp" ]; then
    verdict=passes
  else
    verdict=refused
  fi
  if [ "$verdict" != "$expected" ]; then
    echo "FAIL: $layer including $include $verdict, expected $expected"; fail=1
  fi
done <<'ROWS'
platform/rules|platform/rules|ON|"platform/rules/RuntimeError.h"|passes
platform/rules|platform/rules|ON|<string>|passes
platform/rules|platform/rules|ON|"platform/windows/Handles.h"|refused
platform/rules|platform/rules|ON|<windows.h>|refused
platform/windows|platform/windows;platform/rules|OFF|<windows.h>|passes
platform/windows|platform/windows;platform/rules|OFF|"platform/rules/Service.h"|passes
platform/windows|platform/windows;platform/rules|OFF|"platform/controls/PictureBox.h"|refused
platform/pictures|platform/pictures;platform/windows;platform/rules|OFF|"platform/controls/Twips.h"|refused
platform/controls|platform/controls;platform/pictures;platform/windows;platform/rules|OFF|"platform/services/Printer.h"|refused
platform/services|platform/services;platform/controls;platform/pictures;platform/windows;platform/rules|OFF|"capture/basScreen.h"|refused
capture|capture;platform|OFF|"platform/services/Printer.h"|passes
capture|capture;platform|OFF|"document/frmNabbet.h"|refused
ROWS
[ $fail -eq 0 ] && echo "OK: $rows includes judged as the layers declare"
exit $fail
