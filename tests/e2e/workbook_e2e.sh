#!/usr/bin/env bash
# Types a workbook into the program under a real X server, saves it through the Save As
# dialog and quits by the File menu; checks the file with the engine's reader; opens it
# again from the command line, adds a cell, saves with Ctrl+S, quits and checks again.
# Usage: workbook_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/typed.vln"
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
run first.sh
expect_cells "$BOOK" $'A1\tnumber\t12' $'A2\ttext\tApples' $'A3\tformula\t=A1*2 -> 24.000000'
grep -q $'^A4\ttext\t2024-03-05$' "$work/dump.txt" ||
  { echo "the date is not stored as one"; cat "$work/dump.txt"; exit 1; }
run second.sh
expect_cells "$BOOK" $'A1\tnumber\t12' $'A2\ttext\tApples' $'A6\tnumber\t99'
echo "typed, saved, reopened and saved again: $(wc -l <"$work/dump.txt") cells"
