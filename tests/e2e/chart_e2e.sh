#!/usr/bin/env bash
# Insert > 2D Chart over a typed table, as a user meets it: the properties window opens with
# the selection's reference; the chart stays empty until Add Series and Apply, then shows the
# table's bars, and the saved file holds the series; Insert > Function puts the first
# function of the list into a cell. Keys only, sent to the real windows.
# Usage: chart_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/chart.vln"
cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
# The pixels of the first series' colour (the default palette's first entry) in the frame.
green() {
  sleep 1
  import -window "$wid" "$WORK/shot.png"
  convert "$WORK/shot.png" -fill black +opaque '#00FF00' -fill white -opaque '#00FF00' \
    -format '%[fx:round(mean*w*h)]' info:
}
start
title_is 'New Workbook - \\Worksheet1'
for entry in 4 9 2 7; do
  xdotool type --delay 40 "$entry"
  xdotool key Down
done
# The table selected from its last cell up, Shift held down through the three steps.
xdotool key Up
xdotool keydown shift
for _ in 1 2 3; do
  xdotool key Up
  sleep 0.2
done
xdotool keyup shift
sleep 0.5
before=$(green)
xdotool key --clearmodifiers alt+i
sleep 0.5
xdotool key 2
wait_window '^Container \[id: 1\]$'
dlg=$found
# Away from the chart, so that the frame's picture shows the chart whole.
xdotool windowmove --sync "$dlg" 820 420
sleep 0.5
empty=$(green)
[ "$empty" -le "$before" ] || { echo "drawn before Add Series: $empty green pixels, $before before"; exit 1; }
xdotool key --clearmodifiers alt+d
sleep 0.5
added=$(green)
[ "$added" -le "$before" ] || { echo "drawn before Apply: $added green pixels"; exit 1; }
xdotool key --clearmodifiers alt+a
drawn=$(green)
[ "$drawn" -gt $((before + 400)) ] || { echo "Apply drew $drawn green pixels, $before before"; exit 1; }
echo "green pixels: $before before, $empty after Insert, $added after Add Series, $drawn after Apply"
xdotool key --clearmodifiers Escape
sleep 0.5
# Insert > Function: the function list's first category, its first function into a cell
# below the chart.
for _ in $(seq 1 20); do xdotool key Down; done
xdotool key --clearmodifiers alt+i
sleep 0.5
xdotool key u
sleep 0.5
xdotool key Down
sleep 0.2
xdotool key Right
sleep 0.3
xdotool key Return
sleep 0.5
save_as "$BOOK"
quit
RUN
run run.sh
"$bookutil" charts "$BOOK" >"$work/charts.txt"
expected=$'container 1\ttype 1\nseries 1\t1\t=\\Worksheet1!R1C1:R4C1'
[ "$(cat "$work/charts.txt")" = "$expected" ] ||
  { echo "saved charts:"; cat "$work/charts.txt"; "$bookutil" dump "$BOOK"; exit 1; }
grep -qP '^A[0-9]+\tformula\t=abs\(x\)' <("$bookutil" dump "$BOOK") ||
  { echo "no =abs(x) from the function menu:"; "$bookutil" dump "$BOOK"; exit 1; }
echo "the chart was drawn after Add Series and Apply and saved with its series; Insert Function put =abs(x)"
