#!/usr/bin/env bash
# Types a workbook into the program under a real X server, saves it through the Save As
# dialog and quits by the File menu; checks the file with the engine's reader; opens it
# again from the command line, adds a cell, saves with Ctrl+S, quits and checks again.
# Usage: workbook_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
xserver="$(dirname "$0")/xserver.sh"
lib="$(cd "$(dirname "$0")" && pwd)/e2elib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Vorlane"
cp "$settings" "$work/config/Vorlane/settings.xml"
book="$work/typed.vln"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb HOME="$work"
cat >"$work/first.sh" <<'FIRST'
set -eu
. "$LIB"
start
title_is 'New Workbook - \\Worksheet1'
# A number, a text, a formula and a date, each ended by the arrow below.
for entry in 12 Apples '=A1*2' 3/5/2024; do
  xdotool type --delay 40 "$entry"
  xdotool key Down
done
title_is 'Worksheet1 \*'
save_as "$BOOK"
quit
FIRST
cat >"$work/second.sh" <<'SECOND'
set -eu
. "$LIB"
start "$BOOK"
title_is "$BOOK - "
# The cursor comes back where it was saved (A5); the new cell goes one row further down.
xdotool key Down
xdotool type --delay 40 "99"
xdotool key Return
title_is '\*'
xdotool key ctrl+s
title_is 'Worksheet1]\?$'
quit
SECOND
run() {
  local rc=0
  WORK="$work" VORLANE="$vorlane" BOOK="$book" LIB="$lib" \
    bash "$xserver" bash "$work/$1" || rc=$?
  if [ "$rc" -ne 0 ]; then echo "$1 failed ($rc)"; cat "$work/out.log"; exit 1; fi
}
expect() {
  "$bookutil" dump "$book" >"$work/dump.txt"
  for line in "$@"; do
    grep -qxF -- "$line" "$work/dump.txt" || { echo "missing '$line' in:"; cat "$work/dump.txt"; exit 1; }
  done
}
run first.sh
expect $'A1\tnumber\t12' $'A2\ttext\tApples' $'A3\tformula\t=A1*2 -> 24.000000'
grep -q $'^A4\ttext\t2024-03-05$' <("$bookutil" dump "$book") ||
  { echo "the date is not stored as one"; "$bookutil" dump "$book"; exit 1; }
run second.sh
expect $'A1\tnumber\t12' $'A2\ttext\tApples' $'A6\tnumber\t99'
echo "typed, saved, reopened and saved again: $(wc -l <"$work/dump.txt") cells"
