#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each, one after the other on one core (niced: the
# machine is shared), and prints executions, time, corpus and findings per target.
#   run.sh FUZZ_BUILD_DIR SECONDS [TARGET...]
# Each target starts from its committed corpus (tests/fuzz/corpus/<name>: seeds and the
# inputs of past findings, which every run replays first), the generated seeds and the
# corpus grown by earlier runs in this build folder (FUZZ_BUILD_DIR/corpus/<name>). A
# finding is saved as FUZZ_BUILD_DIR/findings/<name>-crash-... and fails the run.
set -u
build="$1"
seconds="$2"
shift 2
here="$(cd "$(dirname "$0")" && pwd)"
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(bmp gif jpeg png tiff icon settings_text capture_options_text scroll_stitch capture_file_name command_line)
"$here/make-seeds.sh" "$build/seeds"
mkdir -p "$build/findings" "$build/logs"
report="$build/report.txt"
status=0
printf '%-22s %12s %8s %10s %s\n' target executions seconds corpus findings | tee "$report"
for name in "${targets[@]}"; do
  grown="$build/corpus/$name"
  mkdir -p "$grown"
  inputs=("$grown" "$here/corpus/$name")
  [ -d "$build/seeds/$name" ] && inputs+=("$build/seeds/$name")
  options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
           -artifact_prefix="$build/findings/$name-")
  [ -f "$here/$name.dict" ] && options+=(-dict="$here/$name.dict")
  log="$build/logs/$name.log"
  start=$(date +%s)
  nice -n 10 "$build/fuzz_$name" "${options[@]}" "${inputs[@]}" >"$log" 2>&1
  rc=$?
  took=$(( $(date +%s) - start ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  size=$(ls "$grown" | wc -l)
  if [ $rc -eq 0 ]; then
    found=none
  else
    found="exit $rc: $(grep -m1 -E 'ERROR: |property failed|SUMMARY' "$log") (log: $log)"
    status=1
  fi
  printf '%-22s %12s %8s %10s %s\n' "$name" "${runs:-?}" "$took" "$size" "$found" | tee -a "$report"
done
exit $status
