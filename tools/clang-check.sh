#!/usr/bin/env bash
# Checks every product source with clang for the same Windows target (cmake/clang-check):
# errors and warnings of a second compiler, every warning fatal. Only sources changed since
# the last passing check are checked again.
# Usage: tools/clang-check.sh [build-folder]   (default: build/clang-check)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build/clang-check}
start=$(date +%s%N)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root/cmake/clang-check" -B "$dir" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/clang-mingw-w64-x86_64.cmake" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; echo "clang-check: cannot configure $dir" >&2; exit 1; }
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# -k: report every failing source, not just the first.
cmake --build "$dir" -j2 -- -k --no-print-directory >"$log" 2>&1
status=$?
warnings=$(grep -c ': \(warning\|error\): .*\[-Werror' "$log")
errors=$(grep ': error: ' "$log" | grep -vc '\[-Werror')
checked=$(grep -c 'Building CXX object' "$log")
grep -v -e 'Building CXX object' -e 'Built target' -e '^\[' "$log"
elapsed=$(( ($(date +%s%N) - start) / 100000000 ))
printf 'clang-check: %d sources checked, %d warnings, %d errors, %d.%d s\n' "$checked" "$warnings" "$errors" \
  $((elapsed / 10)) $((elapsed % 10))
[ "$status" -eq 0 ]
