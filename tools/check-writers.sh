#!/usr/bin/env bash
# Fails when a source file opens, creates, renames or copies a file for writing without the
# one save-target rule (files/savetarget.h), unless the table below says why it needs none:
# no route may replace a file another document or program holds, or cut its links.
# Usage: tools/check-writers.sh [TREE]   (TREE defaults to this repository)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
python3 - <<'PY'
import os, re, sys

# Places that write without the rule, and why they may.
EXEMPT = {
    "platform/core/filestream.cpp": "the file primitive every writer goes through",
    "files/savetarget.cpp": "the rule itself",
    "files/workbookopen.cpp": "opens a document to hold it; writes nothing",
    "workbookwnd/workbookwnd_file.cpp": "reopens the document's own held file",
    "exchange/memofile.cpp": "the memo beside a table, checked by the xBase export first",
    "automation/dbus/dbusregistration.cpp": "the bus's service file and desktop entry",
    "app/shell.cpp": "keeps an unreadable profile aside as .bak before the profile is saved",
}
# What writes a file.
WRITER = re.compile(
    r'\bOpen\([^;]*"(w|a|r\+)|Reopen\([^;]*"(w|r\+)|RenameTo\(|QPdfWriter\s*\w*\(|ofstream|'
    r'\bfopen\(|\bgzopen\(|QFile::copy|QSaveFile|(::|std::filesystem::|fs::)rename\(|'
    r'O_WRONLY|O_RDWR|O_CREAT|\.save\(\s*QString')
RULE = re.compile(r"\b(WriteSaveTarget|PrepareSaveTarget|SaveWorkbookFileWith)\(")
SKIP = ("tests", "bench", "tools", "docs", "cmake")

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
        text = open(path, encoding="utf-8", errors="replace").read()
        lines = [n for n, line in enumerate(text.splitlines(), 1) if WRITER.search(line)]
        if not lines:
            continue
        writers.add(path)
        if path in EXEMPT or RULE.search(text):
            continue
        print(f"{path}:{lines[0]}: writes a file without the save-target rule")
        faults += 1
stale = [p for p in EXEMPT if p not in writers]
for p in stale:
    print(f"{p}: exempt but writes nothing: remove it from the table")
if faults or stale:
    sys.exit(f"writers: {faults + len(stale)} fault(s)")
print(f"writers: {len(writers)} files write, each through the save-target rule or exempt")
PY
