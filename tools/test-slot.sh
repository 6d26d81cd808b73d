# Sourced by wine-run.sh, the test fixtures and the end-to-end scenarios: which display
# and Wine prefix a process uses. CTest gives each GUI test one display of those listed in
# build/resources.json (written by tests/CMakeLists.txt): "displays" are single 1024x768
# screens, "dual" is the two-monitor one. Each has a folder of its own with its Xvfb's number, its prefix
# and its test disks, so that tests on different displays never see each other's windows,
# clipboard, hotkeys or settings. Outside CTest (make run, the bench) it is the build folder.
#   SLOT_DIR=$(test_slot_dir BUILD_DIR)
test_slot_dir() {
  local build="$1" group
  group="${CTEST_RESOURCE_GROUP_0_DISPLAYS:-}"
  if [ -n "$group" ]; then
    group=${group#id:}
    group=${group%%,*}
    if [ "$group" = 0 ]; then echo "$build"; else echo "$build/slots/$group"; fi
  elif [ -n "${CTEST_RESOURCE_GROUP_0_DUAL:-}" ]; then
    echo "$build/slots/dual"
  else
    echo "${PIXELNAB_SLOT_DIR:-$build}"
  fi
}
