#!/usr/bin/env bash
# Fails when a source or test file includes a project header from a library above its own,
# or from one its library does not stand on (cmake/layers.txt), and when a library's folder
# lies inside the folder of a library it does not stand on: read from the top down, the
# tree is the layers from the top down. Every folder that holds code is a line of the table
# or the tests of one (tests/X/... are checked as X's library); only benchmarks, fuzz
# targets, the end-to-end drivers and the screenshot tool may include anything.
# Usage: tools/check-layers.sh [TREE]   (TREE defaults to this repository)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
python3 - <<'PY'
import os, re, sys

# The screenshot tool pictures the dialogs of every layer, as the program does; the headers
# every test executable shares (tests/common) include none of the project's.
FREE = ("bench", "tests/fuzz", "tests/e2e", "tests/dialogs/shots", "tests/common")

rows = []
for line in open("cmake/layers.txt"):
    fields = line.split()
    if fields and not fields[0].startswith("#"):
        rows.append((fields[0], fields[1], [f for f in fields[2:] if not f.startswith("Qt6::")]))
folder = {name: d for name, d, _ in rows}
below = {}
for name, d, deps in rows:
    allowed = {name}
    for dep in deps:
        if dep not in below:
            sys.exit(f"cmake/layers.txt: {name} uses {dep}, which is not on an earlier line")
        allowed |= below[dep]
    below[name] = allowed

faults = 0
for name, d, _ in rows:
    for outer, outer_dir, _ in rows:
        if outer != name and d.startswith(outer_dir + "/") and outer not in below[name]:
            print(f"cmake/layers.txt: {name} ({d}) lies inside {outer_dir}, "
                  f"but does not stand on {outer}: give {name} a folder of its own")
            faults += 1

# Longest folder first, so formula/edit/x.h belongs to edit, not formula.
by_length = sorted(rows, key=lambda r: -len(r[1]))
def owner(path):
    for name, d, _ in by_length:
        if path.startswith(d + "/") and "/" not in path[len(d) + 1:]:
            return name
    return None

def code_folders():
    for top, dirs, files in os.walk("."):
        # Build trees (build/, build-asan/, build-fuzz/, any folder CMake configured) hold
        # generated code, not ours.
        dirs[:] = sorted(x for x in dirs if not x.startswith(".") and x != "build" and
                         not os.path.exists(os.path.join(top, x, "CMakeCache.txt")))
        top = os.path.relpath(top)
        if top == "." or top.startswith(FREE) or top.startswith(tuple(f + "/" for f in FREE)):
            continue
        code = sorted(f for f in files if f.endswith((".h", ".cpp")))
        if code:
            yield top, code

# A test folder belongs to the deepest table folder it mirrors.
def folder_owner(top):
    if not top.startswith("tests/"):
        return next((name for name, d, _ in rows if d == top), None)
    rest = top[len("tests/"):]
    for name, d, _ in by_length:
        if rest == d or rest.startswith(d + "/"):
            return name
    return None

include = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
for top, code in code_folders():
    lib = folder_owner(top)
    if lib is None:
        print(f"{top}: holds code but is no folder of cmake/layers.txt (nor its tests)")
        faults += 1
        continue
    for entry in code:
        path = f"{top}/{entry}"
        for number, text in enumerate(open(path, encoding="utf-8", errors="replace"), 1):
            m = include.match(text)
            if not m:
                continue
            target = owner(m.group(1))
            if target is None or target in below[lib]:
                continue
            print(f"{path}:{number}: includes {m.group(1)} ({folder[target]}), "
                  f"which {folder[lib]} does not stand on")
            faults += 1
if faults:
    sys.exit(f"layering: {faults} fault(s) against cmake/layers.txt")
print(f"layering: {len(rows)} libraries, every include points down")
PY
