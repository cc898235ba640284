#!/usr/bin/env bash
# Every Excel 2003 XML document the exchange tests write, read by LibreOffice as well (one
# start for all of them): the test binary keeps each document with the cells it reads back,
# and the peer must open each and read the same cells. Skipped (77) without LibreOffice.
set -u
tests="$1"
here="$(cd "$(dirname "$0")/../.." && pwd)"
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
VORLANE_EXCEL_PEER_DIR="$folder" "$tests" --gtest_filter='ExcelXml*:*ExcelXml*' >"$folder/run.log" 2>&1 || {
    tail -n 40 "$folder/run.log"
    exit 1
}
ls "$folder"/*.xml >/dev/null 2>&1 || { echo "no document was kept"; exit 1; }
# The office's Python bridge belongs to the system's Python, which need not be the first.
for py in /usr/bin/python3 python3; do
    if "$py" -c 'import uno' 2>/dev/null; then
        exec "$py" "$here/tools/peer-read-excelxml.py" "$folder"
    fi
done
echo "no Python with the office's bridge here"
exit 77
