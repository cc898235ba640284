#!/usr/bin/env bash
# The exchange files the generated-states test writes (a sample of its sequences: Excel 2003
# XML, text and dBase IV), read by LibreOffice as well, in one start of it for all: the peer
# must open each and read the cells this program read back. Skipped (77) without LibreOffice.
set -u
tests="$1"
here="$(cd "$(dirname "$0")/../.." && pwd)"
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
VORLANE_STATES_PEER_DIR="$folder" VORLANE_STATES_SEQUENCES="${VORLANE_STATES_SEQUENCES:-200}" \
    "$tests" --gtest_filter='GeneratedStates.*' >"$folder/run.log" 2>&1 || {
    tail -n 40 "$folder/run.log"
    exit 1
}
ls "$folder"/*.xml >/dev/null 2>&1 || { echo "no file was kept"; exit 1; }
for py in /usr/bin/python3 python3; do
    if "$py" -c 'import uno' 2>/dev/null; then
        exec "$py" "$here/tools/peer-read-exchange.py" "$folder"
    fi
done
echo "no Python with the office's bridge here"
exit 77
