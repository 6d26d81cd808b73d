#!/usr/bin/env bash
# Prints how often each folder of src/ includes each other folder, and the includes that
# point up or sideways (anything but app -> features -> platform).
# Usage: tools/include-graph.sh [source-root]   (default: src)
set -u
root="${1:-src}"
declare -A rank=([app]=2 [capture]=1 [select]=1 [document]=1 [help]=1 [platform]=0)
grep -rHoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]+/' "$root" --include='*.cpp' --include='*.h' |
  sed -E "s|^$root/([a-z]+)/[^:]*:.*\"([a-z]+)/$|\1 \2|" |
  awk '$1 != $2' | sort | uniq -c |
  while read -r count from to; do
    [ -n "${rank[$to]:-}" ] || continue
    verdict=down
    if [ "${rank[$to]}" -ge "${rank[$from]}" ]; then verdict=WRONG-WAY; fi
    printf '%-9s -> %-9s %3d  %s\n' "$from" "$to" "$count" "$verdict"
  done
wrong=$(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]+/' "$root" --include='*.cpp' --include='*.h' |
  sed -E "s|^$root/([a-z]+)/([^:]*):.*\"([a-z]+)/.*$|\1 \3|" | awk '
    BEGIN { r["app"]=2; r["capture"]=1; r["select"]=1; r["document"]=1; r["help"]=1; r["platform"]=0 }
    $1 != $2 && ($2 in r) && r[$2] >= r[$1] { n++ } END { print n+0 }')
echo "wrong-way includes: $wrong"
