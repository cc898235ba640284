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
green_in() {
  convert "$WORK/shot.png" -fill black +opaque '#00FF00' -fill white -opaque '#00FF00' \
    -format '%[fx:round(mean*w*h)]' info:
}
green() {
  settled_shot "$wid" "$WORK/shot.png"
  green_in
}
# True when the chart shows more than the given number of green pixels.
drawn_over() { [ "$(green_in)" -gt "$1" ]; }
# True when the dialog's picture differs from the one in the file.
changed_from() {
  import -window "$dlg" "$WORK/dialog-now.png"
  ! compare -metric AE "$1" "$WORK/dialog-now.png" null: 2>/dev/null
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
for _ in 1 2 3; do xdotool key Up; done
xdotool keyup shift
before=$(green)
menu alt+i 2
wait_dialog '^Container \[id: 1\]$'
dlg=$found
# Away from the chart, so that the frame's picture shows the chart whole.
xdotool windowmove "$dlg" 820 420
at_place() { window_place "$dlg"; [ "$X $Y" = "820 420" ]; }
poll 100 at_place || { echo "the chart's dialog stays at $X,$Y"; exit 1; }
empty=$(green)
[ "$empty" -le "$before" ] || { echo "drawn before Add Series: $empty green pixels, $before before"; exit 1; }
# Add Series shows in the dialog before the frame's picture is taken.
settled_shot "$dlg" "$WORK/dialog-before.png"
xdotool key --clearmodifiers alt+d
poll 200 changed_from "$WORK/dialog-before.png" || { echo "Add Series changed nothing in the dialog"; exit 1; }
added=$(green)
[ "$added" -le "$before" ] || { echo "drawn before Apply: $added green pixels"; exit 1; }
xdotool key --clearmodifiers alt+a
shot_until "$wid" "$WORK/shot.png" drawn_over $((before + 400)) ||
  { echo "Apply drew $(green_in) green pixels, $before before"; exit 1; }
drawn=$(green_in)
echo "green pixels: $before before, $empty after Insert, $added after Add Series, $drawn after Apply"
xdotool key --clearmodifiers Escape
wait_gone '^Container \[id: 1\]$'
wait_focus "$wid"
# Insert > Function: the function list's first category, its first function into a cell
# below the chart.
for _ in $(seq 1 20); do xdotool key Down; done
menu alt+i u
poll 200 popup_shown "$menu_popup" || { echo "no function list"; exit 1; }
keys Down Right Return
poll 200 no_popup || { echo "the function list stays open"; exit 1; }
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
