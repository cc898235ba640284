#!/usr/bin/env bash
# The window as it runs without a window manager when nobody gives it the keyboard: the
# program takes it itself as its window shows. A budget typed and committed cell after cell
# in Folder1\North loses no key; then references picked with F2 into formulas there, F2 and
# F12 acting with nothing but the program's own window: B3 of the top-level Sales (41) and
# B3 of Folder1\Sales (8), each read from the worksheet picked although both bear one name.
# Then a row inserted by Ctrl+R inside the budget above its total, filled with a new line,
# and the top-level Sales renamed in the tree: the total takes the new line in and D1 reads
# the renamed worksheet by its new name.
# Usage: unfocused_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/folders.vln" SAVED="$work/budget.vln"
"$bookutil" folders "$BOOK"
"$bookutil" tree "$BOOK" >"$work/tree.txt"
expect_lines "$work/tree.txt" $'1\tSales' $'1\tFolder1' $'2\tNorth' $'2\tSales'

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
"$VORLANE" "$BOOK" >>"$WORK/out.log" 2>&1 &
pid=$!
wid=""
for _ in $(seq 1 300); do
  wid=$(xdotool search --onlyvisible --name '^Vorlane 7\.3' 2>/dev/null | head -n 1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "no frame"; exit 1; }
# No focus given.
pointer_in "$wid" 20 5
# The program takes the keyboard itself.
wait_focus "$wid"
title_is 'folders.vln - \\Folder1\\North'
# Four lines, each label and amount committed by Tab and Enter, the total by Enter.
for line in "Rent 1200" "Food 450" "Travel 300"; do
  set -- $line
  xdotool type --delay 40 "$1"
  keys Tab
  xdotool type --delay 40 "$2"
  keys Return Down Home
done
xdotool type --delay 40 Total
keys Tab
xdotool type --delay 40 '=SUM(B1:B3)'
keys Return
# D1: F2 leaves the editor to pick; Ctrl+Up is the worksheet before (the top-level Sales).
keys Up Up Up Right Right
xdotool type --delay 40 '=1+'
keys F2 ctrl+Up ctrl+Home Down Down Right F2
title_is '\\Folder1\\North'
keys Return Down
# D2: Ctrl+Down is the worksheet after, Folder1\Sales.
xdotool type --delay 40 '=1+'
keys F2 ctrl+Down ctrl+Home Down Down Right F2 Return
title_is 'folders.vln - \\Folder1\\North'
# Row 2 inserted above the total, inside the range it adds up: Ctrl+PageUp is the first
# row, Home its first column.
keys ctrl+Page_Up Home Down ctrl+r
xdotool type --delay 40 Gifts
keys Tab
xdotool type --delay 40 50
keys Return
# Shift+F6 gives the tree the keyboard; Up Up is the top-level Sales; Enter edits its name.
keys shift+F6 Up Up
title_is 'folders.vln - \\Sales'
keys Return
xdotool type --delay 40 Income
keys Return
title_is 'folders.vln - \\Income'
keys Down Down
title_is 'folders.vln - \\Folder1\\North'
save_as "$SAVED"
quit
RUN

run run.sh
"$bookutil" dump "$SAVED" >"$work/dump.txt"
expected=$'A1\ttext\tRent\nB1\tnumber\t1200\nD1\tformula\t=1+\\Income!B3 -> 42.000000\nA2\ttext\tGifts\nB2\tnumber\t50\nA3\ttext\tFood\nB3\tnumber\t450\nD3\tformula\t=1+\\Folder1\\Sales!B3 -> 9.000000\nA4\ttext\tTravel\nB4\tnumber\t300\nA5\ttext\tTotal\nB5\tformula\t=SUM(B1:B4) -> 2000.000000'
if ! diff -u <(printf '%s\n' "$expected") "$work/dump.txt"; then
  echo "the saved cells differ from what the keys should have made"
  exit 1
fi
"$bookutil" tree "$SAVED" >"$work/tree.txt"
expect_lines "$work/tree.txt" $'1\tIncome' $'1\tFolder1' $'2\tNorth' $'2\tSales'
echo "unfocused: every key arrived, both picked references read their own worksheet, and"
echo "the inserted row and the renamed worksheet kept every reference"
