#!/usr/bin/env bash
# What typing shows at once, under a real X server. First, =A1:A2*2 typed into J1 with -3 and
# -5 in A1 and A2 spreads over J2, and 9 typed into J1 then takes the array away: after each
# entry the window's picture equals a forced repaint of the whole window (a resize by one
# pixel and back). Then =A1 typed into A1 shows its circular error; Ctrl+Z and Ctrl+Y show it
# as typed, right-aligned, pixel for pixel.
# Usage: arrays_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/arrays.vln"
cat >"$work/common.sh" <<'COMMON'
set -eu
. "$LIB"
# The window's picture now, and after a repaint of everything, as <name>.shown.png and
# <name>.full.png.
pictures() {
  settled_shot "$wid" "$WORK/$1.shown.png"
  repainted_shot "$wid" "$WORK/$1.full.png"
}
COMMON
cat >"$work/spread.sh" <<'SPREAD'
. "$WORK/common.sh"
start
xdotool type --delay 40 -- -3
keys Down
xdotool type --delay 40 -- -5
keys Up Right Right Right Right Right Right Right Right Right
# Enter leaves the cursor where it is.
xdotool type --delay 40 '=A1:A2*2'
keys Return
pictures spread
xdotool type --delay 40 9
keys Return
pictures removed
save_as "$BOOK"
quit
SPREAD
cat >"$work/circular.sh" <<'CIRCULAR'
. "$WORK/common.sh"
start
xdotool type --delay 40 '=A1'
keys Return Down
title_is '\*'
settled_shot "$wid" "$WORK/typed.png"
# Each brings the cursor back to A1.
keys ctrl+z ctrl+y Down
settled_shot "$wid" "$WORK/redone.png"
save_as "$WORK/circular.vln"
quit
CIRCULAR
# Compares two of the pictures taken, by name, with same_pictures.
compare_pictures() {
  cp "$work/$1" "$work/before.png"
  cp "$work/$2" "$work/after.png"
  same_pictures arrays_e2e "$3"
}
run spread.sh
compare_pictures spread.shown.png spread.full.png "the array typed into J1"
compare_pictures removed.shown.png removed.full.png "9 typed over the array"
"$bookutil" dump "$BOOK" >"$work/dump.txt"
expect_lines "$work/dump.txt" $'A1\tnumber\t-3' $'A2\tnumber\t-5' $'J1\tnumber\t9'
if grep -q '^J2' "$work/dump.txt"; then echo "J2 kept a value:"; cat "$work/dump.txt"; exit 1; fi
echo "arrays: spreading and taking the array away repaint what they change"
run circular.sh
compare_pictures typed.png redone.png "=A1 undone and redone, against the picture as typed,"
echo "circular: undone and redone, the error shows as typed"
