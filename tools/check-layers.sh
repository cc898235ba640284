#!/usr/bin/env bash
# Fails when a source or test file includes a project header from a library above its own,
# or from one its library does not stand on (cmake/layers.txt), and when a library's folder
# lies inside the folder of a library that stands on it: read from the top down, the tree
# is the layers from the top down. Benchmarks, fuzz targets and files outside the table's
# folders may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - "$@" <<'PY'
import os, re, sys

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
        if outer != name and d.startswith(outer_dir + "/") and name in below[outer]:
            print(f"cmake/layers.txt: {name} ({d}) lies inside {outer_dir}, "
                  f"but {outer} stands on it: give {name} a folder of its own")
            faults += 1

# Longest folder first, so formula/edit/x.h belongs to edit, not formula.
by_length = sorted(rows, key=lambda r: -len(r[1]))
def owner(path):
    for name, d, _ in by_length:
        if path.startswith(d + "/") and "/" not in path[len(d) + 1:]:
            return name
    return None

include = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
roots = [d for _, d, _ in rows] + ["tests/" + d for _, d, _ in rows]
for root in roots:
    if not os.path.isdir(root):
        continue
    for entry in sorted(os.listdir(root)):
        path = f"{root}/{entry}"
        if not entry.endswith((".h", ".cpp")):
            continue
        lib = owner(path[len("tests/"):] if path.startswith("tests/") else path)
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
