#!/usr/bin/env bash
# check_menu_pages.sh <Pixelnab.rc> <help source dir>
#
# Keeps the help pages and the program's menu in step.
#
# How a page names a menu command: the menu's caption and the command's caption as
# the menu shows them (no access-key "&", no shortcut text, "..." kept), in
#     <span class="menu">File <span class="arrow">&#9656;</span> Print...</span>
# Nothing else counts as naming a command, and a menu path written any other way
# ("File > Print", "File &gt; Print", a bare arrow) is reported, so that every
# mention stays checkable.
#
# A command's page: the page that the reference list, html/menus.htm, links the
# command's mention to (<a href="page.htm"><span class="menu">...</span></a>).
#
# Fails when
#   - a page names a command that the menu (MENU resource IDR_MAINMENU) lacks;
#   - a page writes a menu path outside the marked form;
#   - a menu command is missing from menus.htm, or is not linked there to a page;
#   - the page it is linked to does not name it.
#
# Prints one line per failure and exits 1 if anything failed; exits 2 if it cannot run.

set -u -o pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 <Pixelnab.rc> <help source dir>" >&2
    exit 2
fi
rc=$1
html="$2/html"
[ -f "$rc" ] || { echo "check_menu_pages: ERROR: no resource script '$rc'" >&2; exit 2; }
[ -f "$html/menus.htm" ] || { echo "check_menu_pages: ERROR: no '$html/menus.htm'" >&2; exit 2; }

exec python3 - "$rc" "$html" <<'PYTHON'
import html as htmllib
import pathlib
import re
import sys

rc_path, html_dir = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
failures = []


def fail(message):
    failures.append(message)
    print(f"check_menu_pages: FAIL: {message}", file=sys.stderr)


def caption(text):
    """A menu caption as shown: without the access-key marker and the shortcut text."""
    text = text.split("\\t")[0]
    return text.replace("&&", "\0").replace("&", "").replace("\0", "&").strip()


# ---- The menu: "Menu > Command" for every command of IDR_MAINMENU ------------------
def menu_commands(text):
    lines = text.splitlines()
    start = next((i for i, line in enumerate(lines) if re.match(r"\s*IDR_MAINMENU\s+MENU\b", line)), None)
    if start is None:
        sys.exit("check_menu_pages: ERROR: no MENU resource IDR_MAINMENU in the resource script")
    commands, path, depth = [], [], 0
    for line in lines[start + 1:]:
        line = line.split("//")[0].strip()
        if re.fullmatch(r"BEGIN|\{", line):
            depth += 1
        elif re.fullmatch(r"END|\}", line):
            depth -= 1
            if depth == 0:
                break
            path.pop()
        elif m := re.match(r'POPUP\s+"((?:[^"]|"")*)"', line):
            path.append(caption(m.group(1)))
        elif m := re.match(r'MENUITEM\s+"((?:[^"]|"")*)"', line):
            commands.append(" > ".join(path + [caption(m.group(1))]))
    return commands


commands = menu_commands(rc_path.read_text(encoding="utf-8", errors="replace"))
if len(commands) < 2:
    sys.exit(f"check_menu_pages: ERROR: only {len(commands)} commands read from {rc_path}")
menus = sorted({c.split(" > ")[0] for c in commands})

# ---- The pages ---------------------------------------------------------------------
MENTION = re.compile(
    r'<span class="menu">(?P<path>[^<]*?(?:\s*<span class="arrow">&#9656;</span>\s*[^<]*?)+)</span>')
LINKED = re.compile(r'<a href="(?P<href>[^"#]*)[^"]*">\s*' + MENTION.pattern + r'\s*</a>')
ARROW = re.compile(r'\s*<span class="arrow">&#9656;</span>\s*')


def path_of(match):
    return " > ".join(htmllib.unescape(part).strip() for part in ARROW.split(match.group("path")))


pages = sorted(p for p in html_dir.glob("*.htm"))
named_on = {}  # page name -> set of command paths it names
for page in pages:
    text = page.read_text(encoding="utf-8", errors="replace")
    named = set()
    for m in MENTION.finditer(text):
        path = path_of(m)
        if path not in commands:
            fail(f'{page.name} names "{path}", which is not a menu command')
        named.add(path)
    named_on[page.name] = named
    # Anything that still looks like a menu path is written outside the marked form.
    rest = MENTION.sub(" ", text)
    rest = re.sub(r"<[^>]*>", " ", rest)
    rest = htmllib.unescape(rest)
    loose = re.compile(r"\b(" + "|".join(map(re.escape, menus)) + r")\s*(?:>|\u25b8|->)\s*\w[\w ]*")
    for m in loose.finditer(rest):
        fail(f'{page.name} writes the menu path "{m.group(0).strip()}" outside <span class="menu">')
    if "\u25b8" in rest:
        fail(f"{page.name} has a menu arrow outside a marked menu path")

# ---- Every command has a page ------------------------------------------------------
reference = (html_dir / "menus.htm").read_text(encoding="utf-8", errors="replace")
linked = {}
for m in LINKED.finditer(reference):
    linked.setdefault(path_of(m), m.group("href"))
for command in commands:
    if command not in named_on.get("menus.htm", set()):
        fail(f'menus.htm does not name the command "{command}"')
        continue
    page = linked.get(command)
    if page is None:
        fail(f'menus.htm does not link "{command}" to its page')
    elif page not in named_on:
        fail(f'menus.htm links "{command}" to {page}, which is not a page of the help')
    elif command not in named_on[page]:
        fail(f'"{command}" has no page: {page}, where menus.htm links it, does not name it')

if failures:
    print(f"check_menu_pages: {len(failures)} check(s) FAILED", file=sys.stderr)
    sys.exit(1)
print(f"check_menu_pages: {len(commands)} menu commands each have a page; "
      f"{sum(len(v) for v in named_on.values())} command names on {len(pages)} pages all exist")
PYTHON
