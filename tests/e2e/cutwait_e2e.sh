#!/usr/bin/env bash
# A Cut that waits for its Paste while other edits come between, by keys, without a window
# manager ("bare") and under one ("wm"), one case per run:
#   rows          A1 5, A2 7, C1 =A1*2, D1 =A2+1; Ctrl+X on A2; a row inserted at row 1
#                 (Ctrl+R); Ctrl+V at E5: C2 keeps reading A2 (10), D2 reads E5 (8);
#   columns       A1 5, B1 7, A3 =A1*2, A4 =B1+1; Ctrl+X on B1; a column inserted at A
#                 (Ctrl+L); Ctrl+V at E5: B3 keeps reading B1 (10), B4 reads E5 (8);
#   refused       N1 ={1;2;3} spreads down to N3; A1 5, A2 7, C1 =A1*2, D1 =A2+1; Ctrl+X on
#                 A1:A2; Ctrl+V at N2 is refused with a message; Ctrl+V at E5 then moves the
#                 block with its readers (10, 8), and one Ctrl+Z puts A1:A2 back;
#   refusedafter  as refused with 1 typed into F1 after the Cut: Ctrl+Z after the move steps
#                 back to the Cut waiting (A1:A2 empty, C1 0, D1 1, F1 1).
# The saved files are read back with the engine's reader.
# Usage: cutwait_e2e.sh <case> bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
case=$1 mode=$2 settings=$3 vorlane=$4 bookutil=$5
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export BOOK="$work/cut.vln" MODE="$mode" CASE="$case"

cat >"$work/run.sh" <<'RUN'
. "$LIB"
[ "$MODE" = bare ] || window_manager
start
title_is 'New Workbook'
# Types the entry into the cell `right` columns and `down` rows from A1.
put() {
  keys Home ctrl+Prior
  local i
  for ((i = 0; i < $2; i++)); do keys Right; done
  for ((i = 0; i < $3; i++)); do keys Down; done
  xdotool type --delay 40 "$1"
  keys Return
}
# Goes to the cell `right` columns and `down` rows from A1.
goto() {
  keys Home ctrl+Prior
  local i
  for ((i = 0; i < $1; i++)); do keys Right; done
  for ((i = 0; i < $2; i++)); do keys Down; done
}
# Saves under the book's name (Save As the first time) and keeps a copy to read: the program
# holds its file while it is open.
save_copy() {
  title_is '\*'
  if [ ! -e "$BOOK" ]; then save_as "$BOOK"; else keys ctrl+s; fi
  poll 200 bash -c '! xdotool getwindowname "$0" | grep -q "\*"' "$wid" ||
    { echo "the workbook was not saved"; exit 1; }
  cp "$BOOK" "$WORK/$1.vln"
}
case $CASE in
rows)
  put 5 0 0; put 7 0 1; put '=A1*2' 2 0; put '=A2+1' 3 0
  goto 0 1; keys ctrl+x
  goto 0 0; keys ctrl+r
  goto 4 4; keys ctrl+v
  save_copy moved
  ;;
columns)
  put 5 0 0; put 7 1 0; put '=A1*2' 0 2; put '=B1+1' 0 3
  goto 1 0; keys ctrl+x
  goto 0 0; keys ctrl+l
  goto 4 4; keys ctrl+v
  save_copy moved
  ;;
refused | refusedafter)
  put '={1;2;3}' 13 0
  put 5 0 0; put 7 0 1; put '=A1*2' 2 0; put '=A2+1' 3 0
  goto 0 0; keys shift+Down ctrl+x
  [ "$CASE" = refused ] || put 1 5 0
  save_copy waiting
  goto 13 1; keys ctrl+v
  wait_dialog '^Vorlane 7\.3$'
  message=$found
  keys Return
  gone "$message" "the refusal's message"
  wait_focus "$wid"
  goto 4 4; keys ctrl+v
  save_copy moved
  keys ctrl+z
  save_copy undone
  ;;
esac
quit
RUN

run run.sh
cells() { "$bookutil" dump "$work/$1.vln" | grep -v '^N'; }
same() {
  if ! diff -u <(printf '%s\n' "$2") <(cells "$1"); then
    echo "$case ($mode): the cells saved at '$1' differ from what the keys should have made"
    exit 1
  fi
}
case $case in
rows)
  same moved $'A2\tnumber\t5\nC2\tformula\t=A2*2 -> 10.000000\nD2\tformula\t=E5+1 -> 8.000000\nE5\tnumber\t7'
  ;;
columns)
  same moved $'B1\tnumber\t5\nB3\tformula\t=B1*2 -> 10.000000\nB4\tformula\t=E5+1 -> 8.000000\nE5\tnumber\t7'
  ;;
refused | refusedafter)
  f1=""
  [ "$case" = refused ] || f1=$'\nF1\tnumber\t1'
  waiting=$'C1\tformula\t=A1*2 -> 0.000000\nD1\tformula\t=A2+1 -> 1.000000'"$f1"
  same waiting "$waiting"
  same moved $'C1\tformula\t=E5*2 -> 10.000000\nD1\tformula\t=E6+1 -> 8.000000'"$f1"$'\nE5\tnumber\t5\nE6\tnumber\t7'
  if [ "$case" = refused ]; then
    same undone $'A1\tnumber\t5\nC1\tformula\t=A1*2 -> 10.000000\nD1\tformula\t=A2+1 -> 8.000000\nA2\tnumber\t7'
  else
    same undone "$waiting"
  fi
  "$bookutil" dump "$work/moved.vln" | grep -q $'^N1\tformula\t={1; 2; 3}' ||
    { echo "$case ($mode): the array in N1 is gone"; "$bookutil" dump "$work/moved.vln"; exit 1; }
  ;;
esac
echo "$case ($mode): ok"
