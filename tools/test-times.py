#!/usr/bin/env python3
"""Reads CTest's LastTest.log: time spent per kind of test, the ten slowest tests, and every
test that was skipped with its reason."""
import re
import sys

text = open(sys.argv[1], encoding="utf-8", errors="replace").read()
tests = []
for block in re.split(r"\n(?=\d+/\d+ Testing: )", text):
    name = re.match(r"\d+/\d+ Testing: (\S+)", block)
    took = re.search(r"Test time =\s+([\d.]+) sec", block)
    if not name or not took:
        continue
    reason = None
    if "[  SKIPPED ]" in block or "Test Skipped" in block:
        why = re.search(r"Skipped\n(.+)", block)
        reason = why.group(1).strip() if why else "skipped"
    tests.append((name.group(1), float(took.group(1)), reason))

kinds = {}
for name, took, _ in tests:
    kind = "ctest e2e" if name.startswith("e2e.") else "ctest unit" if "." in name and name.split(".")[0][0].isupper() else "ctest other"
    kinds[kind] = kinds.get(kind, 0.0) + took
for kind in sorted(kinds):
    print(f"  {kind:<12} {kinds[kind]:7.1f} s (sum of test times)")
print("Ten slowest tests:")
for name, took, _ in sorted(tests, key=lambda t: -t[1])[:10]:
    print(f"  {took:7.1f} s  {name}")
skipped = [(n, r) for n, _, r in tests if r]
print(f"Skipped: {len(skipped)}" + ("" if skipped else " (none)"))
for name, reason in skipped:
    print(f"  {name}: {reason}")
