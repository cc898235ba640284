#!/usr/bin/env bash
# Edits typed with real keys under a real X server, undone and redone: four cells, a row
# inserted and typed into, two steps back and forth; then a new worksheet renamed, deleted
# from the tree, a row removed, everything undone to the start and redone. The workbook is
# saved at each end and read back with the engine's reader. Every step waits for what the
# window shows (its title), never for a fixed pause.
# Usage: structure_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOKUTIL="$bookutil" BOOK="$work/structure.vln"
cat >"$work/steps.sh" <<'STEPS'
set -eu
. "$LIB"
start
# Waits until the title matches (or, with -v, no longer matches) the pattern.
title() {
  local invert=""
  if [ "$1" = "-v" ]; then invert=1; shift; fi
  for _ in $(seq 1 100); do
    if xdotool getwindowname "$wid" | grep -q -- "$1"; then
      [ -z "$invert" ] && return 0
    else
      [ -n "$invert" ] && return 0
    fi
    sleep 0.1
  done
  echo "title is '$(xdotool getwindowname "$wid")' (waited for ${invert:+no }'$1')"; exit 1
}
# Saves (the first time through Save As) and waits for the modified mark to go.
save() {
  title '\*'
  if [ ! -e "$BOOK" ]; then
    save_as "$BOOK"
  else
    xdotool key ctrl+s
  fi
  title -v '\*'
}
# The saved cells and tree, each line as it must be (nothing else allowed).
check() {
  local want="$1" tree="$2"
  # The program holds its file while it is open: the reader takes a copy.
  cp "$BOOK" "$WORK/copy.vln"
  "$BOOKUTIL" dump "$WORK/copy.vln" | sed 's/\.000000$//' >"$WORK/cells.txt"
  "$BOOKUTIL" tree "$WORK/copy.vln" >"$WORK/tree.txt"
  if [ "$(cat "$WORK/cells.txt")" != "$(printf '%b' "$want")" ] ||
     [ "$(cat "$WORK/tree.txt")" != "$(printf '%b' "$tree")" ]; then
    echo "at step '$3' the file holds:"; cat "$WORK/tree.txt" "$WORK/cells.txt"; exit 1
  fi
  echo "$3: as expected"
}
title 'New Workbook - \\Worksheet1'
for entry in 1 2 3 '=SUM(A1:A3)'; do
  xdotool type --delay 40 "$entry"
  xdotool key Down
done
xdotool key Up Up Up
xdotool key ctrl+r
xdotool type --delay 40 10
xdotool key Return
sixteen='A1\tnumber\t1\nA2\tnumber\t10\nA3\tnumber\t2\nA4\tnumber\t3\nA5\tformula\t=SUM(A1:A4) -> 16'
six='A1\tnumber\t1\nA2\tnumber\t2\nA3\tnumber\t3\nA4\tformula\t=SUM(A1:A3) -> 6'
save
check "$sixteen" '1\tWorksheet1' "insert and type"
xdotool key ctrl+z ctrl+z
save
check "$six" '1\tWorksheet1' "two undone"
xdotool key ctrl+y ctrl+y
save
check "$sixteen" '1\tWorksheet1' "two redone"
# New Worksheet, the first item of the Insert menu, starts editing its label.
xdotool key alt+i Return
title '\\Worksheet2 \*\]'
xdotool type --delay 40 Budget
xdotool key Return
title '\\Budget \*\]'
# The name given, the keys are back with the grid; Shift+F6 gives them to the tree, where
# Delete takes the worksheet; F6 goes back to the grid, whose cursor is on row 2.
xdotool key shift+F6 Delete
title '\\Worksheet1 \*\]'
xdotool key F6 ctrl+shift+r
save
check "$six" '1\tWorksheet1' "worksheet deleted, row removed"
for _ in $(seq 1 16); do xdotool key ctrl+z; done
save
check '' '1\tWorksheet1' "undone to the start"
for _ in $(seq 1 16); do xdotool key ctrl+y; done
save
check "$six" '1\tWorksheet1' "redone to the end"
quit
STEPS
run steps.sh
