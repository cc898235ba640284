#!/usr/bin/env bash
# Typing into the program under a real X server. First, three texts each ended by Down, in
# a frame as wide as the screen: the window's picture must be the same before and after a
# forced repaint of the whole window (a resize by one pixel and back), so nothing drawn
# earlier was left behind. Then 400 numbers of one to three digits each ended by Down, in
# bursts of 100 sent as fast as xdotool can: saved and read back, every cell must hold its own
# number. Each burst is far more than the program reads in one turn, so four show as well as
# more would that keys waiting behind a slow repaint are neither lost nor reordered.
# Usage: typing_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/fast.vln" COUNT=400
cat >"$work/repaint.sh" <<'REPAINT'
set -eu
. "$LIB"
start
for entry in Pear apple Mango; do
  xdotool type --delay 40 "$entry"
  xdotool key Down
done
title_is 'Worksheet1 \*'
settled_shot "$wid" "$WORK/before.png"
geometry=$(xdotool getwindowgeometry --shell "$wid")
eval "$geometry"
# No window manager maximises the frame here: its first placement is the whole screen.
read -r screen_width _ < <(xdotool getdisplaygeometry)
[ "$WIDTH" -eq "$screen_width" ] || { echo "the frame is $WIDTH wide on a $screen_width screen"; exit 1; }
repainted_shot "$wid" "$WORK/after.png"
REPAINT
cat >"$work/fast.sh" <<'FAST'
set -eu
. "$LIB"
start
# One xdotool call per 100 entries, each number's digits then Down, with no delay at all. The
# keys are listed by the shell alone: a process started per number cost the run most of its
# time on a busy machine.
for ((first = 1; first <= COUNT; first += 100)); do
  keys=()
  for ((n = first; n < first + 100 && n <= COUNT; n++)); do
    for ((i = 0; i < ${#n}; i++)); do keys+=("${n:i:1}"); done
    keys+=(Down)
  done
  xdotool key --delay 0 "${keys[@]}"
done
# F12 waits in the queue behind every key typed before it.
save_as "$BOOK"
quit
FAST
run repaint.sh
same_pictures typing_e2e repaint
echo "repaint: the picture after the typing equals a full repaint"
run fast.sh
"$bookutil" dump "$BOOK" >"$work/dump.txt"
seq 1 "$COUNT" | awk '{ printf "A%d\tnumber\t%d\n", $1, $1 }' >"$work/expected.txt"
if ! diff -u "$work/expected.txt" "$work/dump.txt" >"$work/diff.txt"; then
  echo "cells differ from what was typed ($(grep -c '^[-+]A' "$work/diff.txt") lines):"
  head -n 40 "$work/diff.txt"
  exit 1
fi
echo "fast typing: all $COUNT cells hold their numbers"
