#!/usr/bin/env bash
# One session by the keyboard alone under a real X server, never the mouse: a 3 x 4 table
# typed cell by cell; from C4, Shift+Up twice and Shift+Left, Shift released between the
# presses, selects B2:C4, made Percent on the Style page (Alt+O, S, then P in its list and
# Escape); from C2, Shift+Left twice then Shift+Up selects A1:C2, framed by the Cell page's
# "Around &Selection" (Alt+O, C, Alt+S, Escape); Alt+A, Alt+Q and Alt+Z on D1 type nothing before
# "ok"; the worksheet renamed in the tree (Tools > Rename, a name fixed with Home and Delete)
# shows in the title, Ctrl+Z brings the old name back to it and Ctrl+Y the new one; Insert >
# Function by keys opens under A6 and its first function becomes A6's formula; Ctrl+S saves
# through the Save As dialog. The saved cells, formats, borders and worksheet name are read
# back with the engine's reader, and the title names the file with no modified mark.
# Usage: keyboard_session_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/keyboard.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
start
title_is 'New Workbook - \\Worksheet1'
# Row r, column c holds r * 10 + c; Tab in the editor commits and moves right.
for row in 1 2 3 4; do
  for column in 1 2 3; do
    xdotool type --delay 40 "$row$column"
    if [ "$column" -lt 3 ]; then keys Tab; fi
  done
  keys Return Down Home
done
# To C4, then upward and leftward with Shift pressed anew for each step (xdotool releases it
# after every key): B2:C4. The Style page takes the keyboard: P finds Percent in its list.
keys Up Right Right shift+Up shift+Up shift+Left
menu alt+o s
wait_page '^Style$'
keys p Escape
wait_gone '^Style$'
wait_focus "$wid"
# Escape gave the keyboard back to the grid: to C2 by keys, leftward twice, then upward.
keys Home ctrl+Prior Right Right Down shift+Left shift+Left shift+Up
menu alt+o c
wait_page '^Cell$'
keys_change_frame alt+s
keys Escape
wait_gone '^Cell$'
wait_focus "$wid"
# D1: Alt+letters with no menu of their own type nothing.
keys Home ctrl+Prior Right Right Right alt+a alt+q alt+z
xdotool type --delay 40 ok
keys Return
# The tree's name editor holds the whole name selected: typing replaces it, and Home and
# Delete edit the name, not the workbook.
settled_shot "$wid" "$WORK/unnamed.png"
menu alt+t r
# The name editor shows in the tree before it is typed into.
renaming() { ! compare -metric AE "$WORK/unnamed.png" "$WORK/renaming.png" null: 2>/dev/null; }
shot_until "$wid" "$WORK/renaming.png" renaming || { echo "no name editor in the tree"; exit 1; }
xdotool type --delay 40 XSales
keys Home Delete Return
title_is 'New Workbook - \\Sales \*'
keys ctrl+z
title_is 'New Workbook - \\Worksheet1 \*'
keys ctrl+y
title_is 'New Workbook - \\Sales \*'
# The name given, the keys are back with the grid; A6 takes Insert > Function, its popup
# under the cell.
keys Home ctrl+Prior Down Down Down Down Down
menu alt+i u
# The popup has no title of its own: the shown window other than the frame named as the program.
popup=""
for _ in $(seq 1 100); do
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    if [ "$w" != "$wid" ] && [ "$w" != "$menu_popup" ] && [ "$(xdotool getwindowname "$w")" = vorlane ]; then popup=$w; fi
  done
  [ -n "$popup" ] && break
  sleep 0.1
done
[ -n "$popup" ] || { echo "no function list"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$popup")"
if [ "$X" -gt 200 ] || [ "$Y" -lt 200 ] || [ "$Y" -gt 260 ]; then
  echo "the function list opened at $X,$Y, not under A6"; exit 1
fi
# The template is committed, not left in the editor for Escape to throw away.
keys Down Right Return Escape
# Ctrl+S on a new workbook asks for its name.
keys ctrl+s
wait_dialog '^Save As'
xdotool type --delay 20 "$BOOK"
keys Return
title_is 'keyboard.vln - \\Sales\]$' 300
quit
RUN

run run.sh
"$bookutil" dump "$BOOK" >"$work/dump.txt"
"$bookutil" styles "$BOOK" >>"$work/dump.txt"
"$bookutil" tree "$BOOK" >>"$work/dump.txt"
expected=$(
  cat <<'EXPECTED'
A1	number	11	sides 5
B1	number	12	sides 1
C1	number	13	sides 9
D1	text	ok
A2	number	21	sides 6
B2	number	22	sides 2
C2	number	23	sides 10
A3	number	31
B3	number	32
C3	number	33
A4	number	41
B4	number	42
C4	number	43
A6	formula	=abs(x) -> 0.000000
A1	format 0
B1	format 0
C1	format 0
D1	format 0
A2	format 0
B2	format 7
C2	format 7
A3	format 0
B3	format 7
C3	format 7
A4	format 0
B4	format 7
C4	format 7
A6	format 0
1	Sales
EXPECTED
)
if ! diff -u <(printf '%s\n' "$expected") "$work/dump.txt"; then
  echo "the saved workbook differs from what the keys should have made"
  exit 1
fi
echo "keyboard session: ok"
