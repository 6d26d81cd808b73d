#!/usr/bin/env bash
# Prints how often each folder of src/ includes each other folder, and the includes that
# point up or sideways (anything but app -> features -> platform). Each folder of platform/
# counts as a folder of its own: rules -> windows -> pictures -> controls -> services, bottom up.
# Usage: tools/include-graph.sh [source-root]   (default: src)
set -u
root="${1:-src}"
grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]+/' "$root" --include='*.cpp' --include='*.h' |
  sed -E "s|^$root/||; s|^(platform/[a-z]+\|[a-z]+)/[^:]*:.*\"(platform/[a-z]+/\|[a-z]+/).*$|\1 \2|; s|/$||" |
  awk '
    BEGIN {
      r["app"] = 6; r["capture"] = 5; r["select"] = 5; r["document"] = 5; r["help"] = 5
      r["platform/services"] = 4; r["platform/controls"] = 3; r["platform/pictures"] = 2
      r["platform/windows"] = 1; r["platform/rules"] = 0
    }
    $1 != $2 && ($2 in r) { n[$1 " " $2]++ }
    END {
      for (pair in n) {
        split(pair, f, " ")
        verdict = r[f[2]] < r[f[1]] ? "down" : "WRONG-WAY"
        if (verdict != "down") wrong += n[pair]
        printf "%-17s -> %-17s %3d  %s\n", f[1], f[2], n[pair], verdict | "sort"
      }
      close("sort")
      printf "wrong-way includes: %d\n", wrong + 0
    }'
