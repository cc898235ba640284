#!/usr/bin/env bash
# A keyboard-only session under a real X server: a 4 x 6 table typed cell by cell; from D6,
# Shift+Up three times and Shift+Left twice, Shift released between the presses, selects
# B3:D6, which Delete clears; from C2, Shift+Left then Shift+Up selects B1:C2, cleared too;
# Alt+A, Alt+Q and Alt+Z on E1 type nothing before "ok", nor Alt+J in the editor; Shift held
# over Down and then P on E2 starts an edit with "P"; on a German layout AltGr+Q types "@" into
# E4. The saved file is read back with the engine's reader and the title names it.
# Usage: selection_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/selection.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
start
title_is 'New Workbook - \\Worksheet1'
# Row r, column c holds r * 10 + c; Tab in the editor commits and moves right.
for row in 1 2 3 4 5 6; do
  for column in 1 2 3 4; do
    xdotool type --delay 40 "$row$column"
    if [ "$column" -lt 4 ]; then keys Tab; fi
  done
  keys Return Down Home
done
# To D6, then each step with Shift pressed anew (xdotool releases it after every key).
keys Up Right Right Right
keys shift+Up shift+Up shift+Up shift+Left shift+Left Delete
# To C2, which the first selection left: leftward first, then upward.
keys Escape Up Right
keys shift+Left shift+Up Delete
# B1 is active now: three to the right is E1. Alt+letters are no typing.
keys Right Right Right alt+a alt+q alt+z
xdotool type --delay 40 ok
# Nor in the editor.
keys alt+j
xdotool type --delay 40 ay
keys Return Down
# Shift held down across the step and the letter: the letter starts the edit.
xdotool keydown shift
xdotool key Down
xdotool key p
xdotool keyup shift
xdotool type --delay 40 ear
keys Return Down Down
# AltGr composes on a German layout: AltGr+Q is "@", and it types.
# The server's layout changes before the keys after it are sent.
layout() { setxkbmap -query | grep -qx "layout: *$1"; }
setxkbmap de
poll 50 layout de || { echo "the layout stays $(setxkbmap -query | grep layout)"; exit 1; }
xdotool keydown ISO_Level3_Shift
xdotool key q
xdotool keyup ISO_Level3_Shift
xdotool key x Return
setxkbmap us
poll 50 layout us || { echo "the layout stays $(setxkbmap -query | grep layout)"; exit 1; }
save_as "$BOOK"
title_is "selection.vln - \\\\Worksheet1"
if xdotool getwindowname "$wid" | grep -q '\*'; then
  echo "still marked modified after saving: $(xdotool getwindowname "$wid")"; exit 1
fi
quit
RUN

run run.sh
"$bookutil" dump "$BOOK" >"$work/dump.txt"
expected=$'A1\tnumber\t11\nD1\tnumber\t14\nE1\ttext\tokay\nA2\tnumber\t21\nD2\tnumber\t24\nE2\ttext\tPear\nA3\tnumber\t31\nA4\tnumber\t41\nE4\ttext\t@x\nA5\tnumber\t51\nA6\tnumber\t61'
if ! diff -u <(printf '%s\n' "$expected") "$work/dump.txt"; then
  echo "the saved cells differ from what the keys should have made"
  exit 1
fi
echo "selection: ok"
