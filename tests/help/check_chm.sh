#!/usr/bin/env bash
# check_chm.sh <Pixelnab.chm> <help source dir>
#
# Checks the compiled help file with readers that share no code with the
# compiler (chmcmd): chmlib's enum_chmLib, extract_chmLib and test_chmLib
# (Debian package libchm-bin), plus chmls (fp-utils) for the window types and
# #SYSTEM, which chmlib has no tool to print.
#
# Checked:
#   - the contents (.hhc) and index (.hhk) files are inside and named in #SYSTEM;
#   - the window type "Main" exists and uses that contents and index;
#   - every page the contents and the index refer to is inside;
#   - every link between pages leads to a page that is inside;
#   - every page of the source folder made it into the file;
#   - "/html/License.htm" and "/html/license.htm" (the two names the program
#     uses) both exist and both resolve to the licence agreement;
#   - every page mentions Pixelnab;
#   - every menu of the program and every menu command has an index entry.
#
# Prints one line per failed item and exits 1 if anything failed; exits 2 if
# it cannot run at all.

set -u -o pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 <Pixelnab.chm> <help source dir>" >&2
    exit 2
fi
chm=$1
src=$2

die() { echo "check_chm: ERROR: $*" >&2; exit 2; }
failures=0
fail() { echo "check_chm: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "check_chm: ok: $*"; }

for tool in enum_chmLib extract_chmLib test_chmLib chmls; do
    command -v "$tool" >/dev/null 2>&1 ||
        die "$tool not found (install the packages libchm-bin and fp-utils)"
done
[ -s "$chm" ] || die "help file '$chm' does not exist or is empty"
[ -d "$src/html" ] || die "help source folder '$src/html' not found"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/check_chm.XXXXXX") || die "mktemp failed"
trap 'rm -rf "$tmp"' EXIT

# --- Directory of the CHM, as chmlib sees it --------------------------------
enum_chmLib "$chm" >"$tmp/enum.txt" 2>&1 || die "enum_chmLib cannot read '$chm'"
# Lines look like "   1   2751   28   normal file\t\t/html/a.htm".
grep -E 'file[[:space:]]' "$tmp/enum.txt" | awk -F'\t' '{print $NF}' >"$tmp/names.txt"
[ -s "$tmp/names.txt" ] || die "enum_chmLib lists no files in '$chm'"
has() { grep -qxF -- "$1" "$tmp/names.txt"; }

extract_chmLib "$chm" "$tmp/x" >/dev/null 2>&1 || die "extract_chmLib failed on '$chm'"

# --- Contents and index ------------------------------------------------------
for f in /Pixelnab.hhc /Pixelnab.hhk; do
    if has "$f" && [ -s "$tmp/x$f" ]; then pass "$f is inside"; else fail "$f is missing from the CHM"; fi
done

chmls printsystem "$chm" >"$tmp/system.txt" 2>&1 || fail "chmls printsystem failed"
grep -q 'Contents file from \[options\] *:Pixelnab.hhc' "$tmp/system.txt" ||
    fail "#SYSTEM does not name Pixelnab.hhc as the contents file"
grep -q 'Index file from \[options\] *:Pixelnab.hhk' "$tmp/system.txt" ||
    fail "#SYSTEM does not name Pixelnab.hhk as the index file"
grep -q 'Default Window from \[options\] *:Main' "$tmp/system.txt" ||
    fail "#SYSTEM does not name Main as the default window"

# --- Window type "Main" --------------------------------------------------------
chmls printwindows "$chm" >"$tmp/windows.txt" 2>&1 || fail "chmls printwindows failed"
if grep -qE 'WindowType +: Main( |$)' "$tmp/windows.txt"; then
    pass 'window type "Main" exists'
    grep -qE 'TOC File +: Pixelnab.hhc( |$)' "$tmp/windows.txt" ||
        fail 'window type "Main" does not use Pixelnab.hhc'
    grep -qE 'Index File +: Pixelnab.hhk( |$)' "$tmp/windows.txt" ||
        fail 'window type "Main" does not use Pixelnab.hhk'
else
    fail 'window type "Main" is missing (chmls printwindows):'
    sed 's/^/    /' "$tmp/windows.txt" >&2
fi

# --- Pages referred to by the contents and the index ---------------------------
for f in Pixelnab.hhc Pixelnab.hhk; do
    [ -f "$tmp/x/$f" ] || continue
    grep -oiE '<param name="Local" value="[^"]*"' "$tmp/x/$f" |
        sed -E 's/.*value="([^"#]*).*/\1/' | sort -u >"$tmp/locals.txt"
    n=$(wc -l <"$tmp/locals.txt")
    [ "$n" -gt 0 ] || fail "$f refers to no pages at all"
    before=$failures
    while IFS= read -r page; do
        has "/$page" || fail "$f refers to '$page', which is not in the CHM"
    done <"$tmp/locals.txt"
    [ $failures -eq $before ] && pass "$f: all $n pages it refers to are inside"
done

# --- Pages: links, the word Pixelnab, completeness ----------------------------
grep -E '^/html/.*\.htm$' "$tmp/names.txt" >"$tmp/pages.txt"
[ -s "$tmp/pages.txt" ] || fail "no pages under /html/ in the CHM"
before_pages=$failures
while IFS= read -r page; do
    file="$tmp/x$page"
    grep -q 'Pixelnab' "$file" || fail "page $page does not mention Pixelnab"
    grep -oiE '(href|src)="[^"]*"' "$file" | sed -E 's/^[^"]*"([^"#]*).*/\1/' |
        grep -vE '^$|^[a-z]+:' | sort -u |
        while IFS= read -r link; do
            has "/html/$link" || echo "page $page links to '$link', which is not in the CHM"
        done >"$tmp/badlinks.txt"
    while IFS= read -r msg; do fail "$msg"; done <"$tmp/badlinks.txt"
done <"$tmp/pages.txt"
[ $failures -eq $before_pages ] &&
    pass "$(wc -l <"$tmp/pages.txt") pages mention Pixelnab and link only to pages inside"

for f in "$src"/html/*; do
    has "/html/$(basename "$f")" || fail "source file html/$(basename "$f") is not in the CHM"
done

# --- The licence page under both names the program uses -----------------------
is_licence() {
    grep -q 'Pixelnab License Agreement' "$1" && grep -qi 'shareware' "$1" &&
        grep -qi 'no warranty' "$1" && grep -qi 'limitation of liability' "$1"
}
for name in /html/License.htm /html/license.htm; do
    has "$name" || fail "no entry named exactly '$name' in the CHM directory"
    out="$tmp/lic_chmlib$(echo "$name" | tr '/' '_')"
    if test_chmLib "$chm" "$name" "$out" >/dev/null 2>&1 && is_licence "$out"; then
        pass "chmlib resolves $name to the licence agreement"
    else
        fail "chmlib does not resolve '$name' to the licence agreement"
    fi
    out="$tmp/lic_chmls$(echo "$name" | tr '/' '_')"
    if chmls extract "$chm" "$name" "$out" >/dev/null 2>&1 && is_licence "$out"; then
        pass "chmls resolves $name to the licence agreement"
    else
        fail "chmls does not resolve '$name' to the licence agreement"
    fi
done
# The readers above look names up without regard to case; compare the two
# entries themselves, as extracted one by one from the directory.
if [ -f "$tmp/x/html/License.htm" ] && [ -f "$tmp/x/html/license.htm" ]; then
    cmp -s "$tmp/x/html/License.htm" "$tmp/x/html/license.htm" ||
        fail "entries /html/License.htm and /html/license.htm differ"
fi

# --- Every menu and menu command has an index entry ------------------------
# Captions as the program shows them, without the access-key marker and the
# trailing "...".
menus=(File Edit View Capture Options Window Help)
commands=(
    "Open" "Close" "Save" "Print" "Exit"
    "Copy To Clipboard" "Empty Clipboard"
    "Toolbar" "Status Bar" "Zoom In" "Zoom Out" "Actual Size" "Fit to Window"
    "Rectangle" "Active Window" "Window" "Screen"
    "Hide Capture Window" "Include Pointer" "Capture Delay" "Hotkeys" "All Screens"
    "Tile Horizontally" "Tile Vertically" "Cascade Images" "Arrange Icons"
    "Close All" "Window List"
    "Contents" "Index" "License Agreement" "About Pixelnab"
)
if [ -f "$tmp/x/Pixelnab.hhk" ]; then
    grep -oiE '<param name="Name" value="[^"]*"' "$tmp/x/Pixelnab.hhk" |
        sed -E 's/.*value="([^"]*)"/\1/' >"$tmp/keywords.txt"
    missing=0
    for c in "${commands[@]}"; do
        grep -qxF -- "$c" "$tmp/keywords.txt" || { fail "menu command '$c' has no index entry"; missing=1; }
    done
    for mname in "${menus[@]}"; do
        grep -qxF -- "$mname menu" "$tmp/keywords.txt" || { fail "'$mname menu' has no index entry"; missing=1; }
    done
    [ $missing -eq 0 ] && pass "${#commands[@]} menu commands and ${#menus[@]} menus are in the index"
fi

if [ $failures -ne 0 ]; then
    echo "check_chm: $failures check(s) FAILED for $chm" >&2
    exit 1
fi
echo "check_chm: all checks passed for $chm"
