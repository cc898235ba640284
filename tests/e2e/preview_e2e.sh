#!/usr/bin/env bash
# Print preview as a user meets it: File > Print Preview puts the preview toolbar in place of
# the others, Next Page and the keys Ctrl+Down and Ctrl+Up turn the page, Close and Escape
# bring the bars back; closing the workbook, or quitting, while it is previewed ends the
# program cleanly; on a high-density screen the page keeps its thin lines.
# Usage: preview_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
"$bookutil" pages "$work/pages.vln"
export FIND="$E2E_HERE/findicon.py" PICTURES="$E2E_HERE/../../resources/pictures"
export LINES_PY="$E2E_HERE/linewidth.py"
cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
# Looks for the toolbar pictures in the top 150 rows of <name>.png at once, into
# <name>.icons: a line each for New on the standard toolbar, Font on the formatting toolbar,
# Next Page and Close on the preview toolbar.
locate() {
  python3 "$FIND" "$WORK/$1.png" "$PICTURES/toolbar_267.png" 0 150 "$PICTURES/toolbar_227.png" 0 \
    "$PICTURES/toolbar_108.png" 3 "$PICTURES/toolbar_108.png" 6 >"$WORK/$1.icons"
}
# "x y" of the picture on that line of <name>.icons, empty when it is not there.
icon() {
  [ "$WORK/$1.icons" -nt "$WORK/$1.png" ] || locate "$1"
  sed -n "$2p" "$WORK/$1.icons" | grep -vx none || true
}
standard_new() { icon "$1" 1; }
formatting_font() { icon "$1" 2; }
preview_next() { icon "$1" 3; }
preview_close() { icon "$1" 4; }
# The preview's page: a region of the client area below the bars.
page() { convert "$WORK/$1.png" -crop 500x300+300+300 +repage "$WORK/$1-page.png"; }
same_page() { page "$1" && compare -metric AE "$WORK/$2-page.png" "$WORK/$1-page.png" null: 2>/dev/null; }
other_page() { page "$1" && ! compare -metric AE "$WORK/$2-page.png" "$WORK/$1-page.png" null: 2>/dev/null; }
# The bars as they are without the preview, and with it.
normal() {
  locate "$1"
  [ -n "$(standard_new "$1")" ] && [ -n "$(formatting_font "$1")" ] && [ -z "$(preview_next "$1")" ]
}
previewed() {
  locate "$1"
  [ -n "$(preview_next "$1")" ] && [ -z "$(standard_new "$1")" ] && [ -z "$(formatting_font "$1")" ]
}
# Takes the picture <name>.png, the pointer away from the bars, until the check given second
# passes on it (given the name and the arguments after the check); else ends the test with
# the message given last.
shot() {
  local name=$1 check=$2 message=${*: -1}
  pointer_away
  shot_until "$wid" "$WORK/$name.png" "$check" "$name" "${@:3:$#-3}" || { echo "$message"; exit 1; }
}
click_at() { set -- $1; click_in "$wid" $(($1 + 8)) $(($2 + 8)); }
open_preview() { menu alt+f v; }

# Run 1: the bars around the preview, its pages, Close and Escape.
start "$WORK/pages.vln"
title_is "pages.vln"
shot normal normal "no standard and formatting toolbar, or the preview toolbar shows"
open_preview
shot preview previewed "no preview toolbar alone in the preview"
next=$(preview_next preview)
page preview
click_at "$next"
shot next other_page preview "Next Page left the page as it was"
# Ctrl+Up turns back to the first page, Ctrl+Down on again: the keys of Next and Previous
# Worksheet, which the hidden workbook window cannot take.
xdotool key --clearmodifiers ctrl+Up
shot keyup same_page preview "Ctrl+Up did not turn back to the first page"
xdotool key --clearmodifiers ctrl+Down
shot keydown same_page next "Ctrl+Down did not turn to the second page"
close=$(preview_close next)
[ -n "$close" ] || { echo "no Close on the preview toolbar"; exit 1; }
click_at "$close"
shot closed normal "Close did not bring the bars back"
# The bars stand where they stood before.
[ "$(standard_new closed)" = "$(standard_new normal)" ] || { echo "standard toolbar moved"; exit 1; }
[ "$(formatting_font closed)" = "$(formatting_font normal)" ] || { echo "formatting toolbar moved"; exit 1; }
open_preview
shot again previewed "no preview the second time"
xdotool key --clearmodifiers Escape
shot escaped normal "Escape did not bring the bars back"
quit
echo "run 1 exit $?"

# Run 2: the workbook closed (Ctrl+F4) during the preview, then quit.
start "$WORK/pages.vln"
title_is "pages.vln"
open_preview
shot run2 previewed "run 2: no preview"
xdotool key --clearmodifiers ctrl+F4
no_preview_but_bars() { locate "$1" && [ -z "$(preview_next "$1")" ] && [ -n "$(standard_new "$1")" ]; }
shot run2-closed no_preview_but_bars "run 2: the preview outlived its workbook, or no standard toolbar after the close"
quit
echo "run 2 exit $?"

# Run 3: quit (Ctrl+Q) during the preview.
start "$WORK/pages.vln"
title_is "pages.vln"
open_preview
shot run3 previewed "run 3: no preview"
xdotool key --clearmodifiers ctrl+q
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "run 3: still running after Ctrl+Q"; kill "$pid"; exit 1; fi
wait "$pid"
echo "run 3 exit $?"

# Run 4: a high-density screen (two pixels to the unit). The sheet is reduced for the screen's
# own pixels: a printed gridline takes one or two of them, not the four that a reduction for
# the window's units, enlarged twice, would smear it over.
QT_SCALE_FACTOR=2 start "$WORK/pages.vln"
title_is "pages.vln"
open_preview
# The preview's page stands in the picture: the first column shows its gridlines.
gridlines() {
  set -- $(python3 "$LINES_PY" "$WORK/$1.png" 0.095 0.135 2>/dev/null || echo 0 0)
  [ "$1" -ge 40 ]
}
shot dense gridlines "run 4: fewer than 40 gridlines in the first column"
set -- $(python3 "$LINES_PY" "$WORK/dense.png" 0.095 0.135)
[ "$1" -ge 40 ] || { echo "run 4: $1 gridlines in the first column"; exit 1; }
python3 -c "import sys; sys.exit(0 if float('$2') < 2.75 else 1)" ||
  { echo "run 4: gridlines $2 pixels wide"; exit 1; }
xdotool key --clearmodifiers Escape
quit
echo "run 4 exit $?"
RUN
run run.sh
grep -q "ERROR: AddressSanitizer\|runtime error" "$work/out.log" && { cat "$work/out.log"; exit 1; }
echo "the preview toolbar stood alone, turned the page, and Close, Escape and quitting came back clean"
