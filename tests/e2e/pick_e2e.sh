#!/usr/bin/env bash
# References picked after F2 as the help tells, under a real X server: =2+ then a drag over
# B3:D3 with the mouse, which goes into the formula as the button is let go, so that *2 typed
# next follows it; =3+ then a click on C5 and +1; =4+ then the arrow keys to B4 and F2. The
# saved file holds the three formulas as picked, and =1+1 ended by Shift+Enter as a text,
# though the program handles the Enter after Shift is up.
# Usage: pick_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/picked.vln" HERE="$E2E_HERE"
cat >"$work/pick.sh" <<'PICK'
set -eu
. "$LIB"
start
# The cell cursor on A2 gives the grid's place and pitch.
keys Down
cursor_found() { python3 "$HERE/cellbox.py" "$WORK/a2.png" >/dev/null 2>&1; }
shot_until "$wid" "$WORK/a2.png" cursor_found || { echo "no cell cursor found"; exit 1; }
read -r left top right bottom < <(python3 "$HERE/cellbox.py" "$WORK/a2.png")
# The middle of a cell, by its column and row counted from 0.
at() {
  x=$(((left + right) / 2 + $1 * (right - left + 2)))
  y=$(((top + bottom) / 2 + 1 + ($2 - 1) * (bottom - top)))
}
keys Up
xdotool type --delay 40 '=2+'
keys F2
at 1 2
pointer_in "$wid" "$x" "$y"
xdotool mousedown 1
at 2 2
pointer_in "$wid" "$x" "$y"
at 3 2
pointer_in "$wid" "$x" "$y"
xdotool mouseup 1
# The editor is back: what is typed now follows the reference.
xdotool type --delay 40 '*2'
keys Return Down
xdotool type --delay 40 '=3+'
keys F2
at 2 4
click_in "$wid" "$x" "$y"
xdotool type --delay 40 '+1'
keys Return Down
xdotool type --delay 40 '=4+'
keys F2 Down Right F2 Return Down
# Shift held as an entry ends keeps it as typed, also when the program gets to the key only
# after Shift was let go: it is stopped while the keys are pressed and released.
xdotool type --delay 40 '=1+1'
kill -STOP "$pid"
keys shift+Return
kill -CONT "$pid"
save_as "$BOOK"
quit
PICK
run pick.sh
"$bookutil" dump "$BOOK" >"$work/dump.txt"
for line in $'A1\tformula\t=2+B3:D3*2 ' $'A2\tformula\t=3+C5+1 ' $'A3\tformula\t=4+B4 ' \
  $'A4\ttext\t=1+1'; do
  grep -qF -- "$line" "$work/dump.txt" || { echo "missing '$line' in:"; cat "$work/dump.txt"; exit 1; }
done
echo "picked by a drag, a click and the arrow keys: each reference went into its formula"
