#!/usr/bin/env bash
# Fails when code opens, creates, renames, copies, saves or removes a file for writing without
# the one save-target rule (files/savetarget.h): no route may replace a file another document
# or program holds, or cut its links. Each write is checked, not each file: the function that
# writes must go through the rule itself, or the write carries a comment on its line or within
# the three lines above saying why it needs none ("// save target: <why>"). Only the rule and
# the file primitive below it are exempt as whole files.
# Usage: tools/check-writers.sh [TREE]   (TREE defaults to this repository)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
python3 - <<'PY'
import os, re, sys

# The rule itself and the primitive every writer goes through.
EXEMPT = {
    "platform/core/filestream.cpp": "the file primitive every writer goes through",
    "files/savetarget.cpp": "the rule itself",
}
# What writes a file.
WRITER = re.compile(
    r'\bOpen\([^;]*"(w|a|r\+)|Reopen\([^;]*"(w|r\+)|RenameTo\(|QPdfWriter\s*\w*\(|ofstream|'
    r'\bf?re?open\([^;]*"[wa+r]|\bfopen\(|\bgzopen\(|QFile::copy|QSaveFile|'
    r'(::|std::filesystem::|fs::|\bstd::)rename\(|\brename\(|'
    r'O_WRONLY|O_RDWR|O_CREAT|\.save\(\s*[^)\s]|'
    r'\.open\([^;]*(WriteOnly|ReadWrite|Append|Truncate)|'
    r'copy_file\(|((?<![\w:])::|std::filesystem::|\bfs::|QFile::|QDir\(\)\.)remove(_all)?\(|'
    r'\bstd::remove\((?:[^,;()]|\([^()]*\))*\)|\bunlink\(|\bfreopen\(')
RULE = re.compile(r"\b(WriteSaveTarget|PrepareSaveTarget|SaveWorkbookFileWith|SaveAside|"
                  r"SaveXBaseFile|RewriteKeepingCopy|RestoreInterruptedSave)\(")
ANNOTATION = re.compile(r"//.*\bsave target:")
SKIP = ("tests", "bench", "tools", "docs", "cmake")


def strip(line):
    """The line without string literals' contents and comments, for brace counting."""
    line = re.sub(r'"(\\.|[^"\\])*"', '""', line)
    line = re.sub(r"'(\\.|[^'\\])*'", "''", line)
    return line.split("//", 1)[0]


def bodies(lines):
    """For each line, the (first, last) line of the outermost block it lies in, namespaces
    not counted as blocks; None outside every block."""
    owner = [None] * len(lines)
    depth, namespaces, start = 0, 0, None
    stack = []  # whether each open brace opened a namespace
    for n, raw in enumerate(lines):
        code = strip(raw)
        opens_namespace = re.search(r'\b(namespace|extern\s*"")', code) is not None
        for ch in code:
            if ch == "{":
                is_namespace = opens_namespace and depth == namespaces
                stack.append(is_namespace)
                if is_namespace:
                    namespaces += 1
                elif depth == namespaces:
                    start = n
                depth += 1
            elif ch == "}" and stack:
                was_namespace = stack.pop()
                depth -= 1
                if was_namespace:
                    namespaces -= 1
                elif depth == namespaces and start is not None:
                    for k in range(start, n + 1):
                        owner[k] = (start, n)
                    start = None
    return owner


faults = 0
writers = set()
for top, dirs, files in os.walk("."):
    dirs[:] = sorted(d for d in dirs if not d.startswith(".") and d != "build" and
                     not os.path.exists(os.path.join(top, d, "CMakeCache.txt")))
    rel = os.path.relpath(top)
    if rel.split("/")[0] in SKIP:
        continue
    for name in sorted(files):
        if not name.endswith(".cpp"):
            continue
        path = os.path.normpath(os.path.join(rel, name))
        lines = open(path, encoding="utf-8", errors="replace").read().splitlines()
        hits = [n for n, line in enumerate(lines) if WRITER.search(line.split("//", 1)[0])]
        if not hits:
            continue
        writers.add(path)
        if path in EXEMPT:
            continue
        owner = bodies(lines)
        for n in hits:
            # The comment stands on the write's line or just above its statement.
            if any(ANNOTATION.search(lines[k]) for k in range(max(0, n - 3), n + 1)):
                continue
            span = owner[n]
            body = "\n".join(lines[span[0]:span[1] + 1]) if span else lines[n]
            if RULE.search(body):
                continue
            print(f"{path}:{n + 1}: writes a file without the save-target rule")
            faults += 1
stale = [p for p in EXEMPT if p not in writers]
for p in stale:
    print(f"{p}: exempt but writes nothing: remove it from the table")
if faults or stale:
    sys.exit(f"writers: {faults + len(stale)} fault(s)")
print(f"writers: {len(writers)} files write, each write through the save-target rule or "
      f"saying why it needs none")
PY
