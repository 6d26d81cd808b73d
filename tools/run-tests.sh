#!/usr/bin/env bash
# `make test`: every test, as fast as two cores allow. The native sanitizer tests and the
# clang check (neither needs the Windows build) run niced beside the Windows build; CTest
# runs the GUI tests side by side, one per test display (tests/CMakeLists.txt). The fuzz
# targets are built beside the build but run last, on their own: beside the build they were
# starved to a few percent of their executions. Ends with each stage's time and every test that was skipped.
#   tools/run-tests.sh BUILD_DIR
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build="$1"
jobs="${PIXELNAB_TEST_JOBS:-4}"
cd "$root"
mkdir -p "$build"
log_dir="$build/test-logs"
mkdir -p "$log_dir"
now() { date +%s%N; }
secs() { local t=$(( ($2 - $1) / 100000000 )); printf '%d.%d' $((t / 10)) $((t % 10)); }
STAGES=()
stage() { STAGES+=("$(printf '%-12s %7s s' "$1" "$(secs "$2" "$3")")"); }

# The checks that need no Windows build, one after the other, niced.
checks() {
  local t0 t1 status=0
  for check in native-test clang-check fuzz-build; do
    t0=$(now)
    nice -n 5 make --no-print-directory BUILD="$build" "$check" >"$log_dir/$check.log" 2>&1 || status=1
    t1=$(now)
    echo "$check $t0 $t1" >>"$log_dir/checks.times"
  done
  return $status
}
rm -f "$log_dir/checks.times"
start=$(now)
checks &
checks_pid=$!

t0=$(now)
make --no-print-directory BUILD="$build" build
build_rc=$?
t1=$(now)
stage build "$t0" "$t1"

ctest_rc=1
if [ $build_rc -eq 0 ]; then
  t0=$(now)
  (cd "$build" && ctest --output-on-failure --timeout 600 -j "$jobs")
  ctest_rc=$?
  t1=$(now)
  stage ctest "$t0" "$t1"
  "$root/tests/fixtures/display-stop.sh" "$build" >/dev/null 2>&1
fi

wait $checks_pid
checks_rc=$?
t0=$(now)
make --no-print-directory BUILD="$build" fuzz-test >"$log_dir/fuzz-test.log" 2>&1 || checks_rc=1
echo "fuzz-test $t0 $(now)" >>"$log_dir/checks.times"
for check in native-test clang-check fuzz-build fuzz-test; do
  echo "--- $check"
  cat "$log_dir/$check.log"
done
while read -r name a b; do stage "$name" "$a" "$b"; done <"$log_dir/checks.times"

echo
echo "Stages (native and clang ran beside the build, fuzz after the tests):"
printf '  %s\n' "${STAGES[@]}"
if [ -f "$build/Testing/Temporary/LastTest.log" ]; then
  python3 "$root/tools/test-times.py" "$build/Testing/Temporary/LastTest.log" || true
fi
echo "  whole run  $(secs "$start" "$(now)") s"
[ $build_rc -eq 0 ] && [ $ctest_rc -eq 0 ] && [ $checks_rc -eq 0 ]
