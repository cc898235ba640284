#!/usr/bin/env bash
# Arrays, print ranges and a Cut by keys under a real X server, one case per run:
#   fill   A1 1, B2 =IF($A$1,{1,2},{1,2,3}) spread over C2, then C1 ={5;6} typed over B2's C2
#          and D5 reading C1:C2; below, B11 the same array and D10 ={5;6} beside it with F10
#          and F11 reading each; then A1 0: B11 would spread over D11, which D10 holds. Of two
#          arrays that would share cells, the one later in the walk (row by row) shows #FILL!
#          and none of its elements, the other keeps its cells, and the readers follow;
#   print  S1 prints A1:B1, S2 D1:F10: A1:B1 cut on S1 and pasted at S2!B2 moves the cells and
#          their reader, and each worksheet keeps its own print range;
#   step   A1 ={1;2}*3 spread over A2; Ctrl+Alt+Up and Ctrl+Alt+Down on A2 (under the window
#          manager, which keeps those keys for itself, Edit > Increment Value and Decrement
#          Value) are refused with a message each, and the array keeps its elements.
# With "bare" no window manager runs, with "wm" one does. The saved file is read back with
# the engine's reader.
# Usage: arraycells_e2e.sh <case> bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
case=$1 mode=$2 settings=$3 vorlane=$4 bookutil=$5
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/cells.vln" SAVED="$work/saved.vln"

cat >"$work/common.sh" <<'COMMON'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
# The cell cursor to the cell given by its column and row counted from A1 (0 0).
at() {
  keys Home ctrl+Prior
  local i
  for ((i = 0; i < $1; i++)); do keys Right; done
  for ((i = 0; i < $2; i++)); do keys Down; done
}
# Types the text into the cell at the column and row given; Return keeps the cursor there.
enter() {
  at "$1" "$2"
  focus_on "$wid" "the frame before '$3'"
  xdotool type --delay 30 -- "$3"
  keys Return
}
# The command given (keys or menu with its keys), which is refused: the message shows and
# takes the keyboard, Return closes it and the frame has the keyboard again.
refused() {
  local before box
  before=$(shown_windows)
  "$@"
  new_window "$before" "a message after $*"
  box=$found
  focus_on "$box" "the message after $*"
  xdotool key --clearmodifiers Return
  gone "$box" "the message after $*"
  focus_on "$wid" "the frame after the message"
}
COMMON

case $case in
fill)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start
enter 0 0 1
enter 1 1 '=IF($A$1,{1,2},{1,2,3})'
enter 2 0 '={5;6}'
enter 3 4 '=SUM(A3:B3)+SUM(C1:C2)'
enter 1 10 '=IF($A$1,{1,2},{1,2,3})'
enter 3 9 '={5;6}'
enter 5 9 '=SUM(D10:D11)'
enter 5 10 '=SUM(B11:C11)'
enter 0 0 0
save_as "$SAVED"
quit
RUN
  sheet=Worksheet1
  # Each line a cell and what the sheet reader shows of it after the formula's text: B2 and
  # B11 cannot spread, C1 holds C2 and D10 holds D11; a sum over #FILL! is #FILL!.
  expected=$'A1\t0\nC1\t-> 5\nB2\t-> 0 error\nC2\t6\nD5\t-> 11\nD10\t-> 5\nF10\t-> 11\nB11\t-> 0 error\nD11\t6\nF11\t-> 0 error'
  ;;
print)
  "$bookutil" printranges "$BOOK"
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start "$BOOK"
title_is '\\S1'
keys Home ctrl+Prior shift+Right ctrl+x
# Ctrl+Down is the next worksheet.
keys ctrl+Down
title_is '\\S2'
at 1 1
keys ctrl+v
title_is '\\S2 \*'
save_as "$SAVED"
quit
RUN
  sheet=S2
  expected=$'B2\t5\nC2\t7'
  ;;
step)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start
enter 0 0 '={1;2}*3'
at 0 1
if [ "$MODE" = bare ]; then
  refused keys ctrl+alt+Up
  refused keys ctrl+alt+Down
else
  refused menu alt+e i
  refused menu alt+e e
fi
save_as "$SAVED"
quit
RUN
  sheet=Worksheet1
  expected=$'A1\t-> 3\nA2\t6'
  ;;
*)
  echo "unknown case $case"; exit 2
  ;;
esac

run run.sh
# The cells, with a formula's text left out: what it shows counts.
"$bookutil" sheet "$SAVED" "$sheet" | sed -E 's/^([A-Z]+[0-9]+)\t=.* -> /\1\t-> /' >"$work/cells.txt"
if ! diff -u <(printf '%s\n' "$expected") "$work/cells.txt"; then
  echo "$case ($mode): the saved cells differ from what the keys should have made"
  exit 1
fi
if [ "$case" = print ]; then
  "$bookutil" sheet "$SAVED" S1 | sed -E 's/ -> .*//' >"$work/s1.txt"
  if ! diff -u <(printf 'C1\t=\\S2!B2*2\n') "$work/s1.txt"; then
    echo "print ($mode): S1 lost its cells but C1 does not read where they went"
    exit 1
  fi
  if ! diff -u <(printf 'S1\t1\tA1:B1\nS2\t1\tD1:F10\nS3\t0\tA1:A1\n') <("$bookutil" printed "$SAVED"); then
    echo "print ($mode): a worksheet lost its own print range to the Paste"
    exit 1
  fi
fi
echo "$case ($mode): ok"
