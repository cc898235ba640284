#!/usr/bin/env bash
# A 150-character title in A1 printed into a PDF by keys (Ctrl+P, Return on the print sheet, a
# name and Return in the file dialog), left-aligned, centred and right-aligned. Centred, it
# cannot flow left of column A and flows right as the left-aligned title does: both print on
# the same pages, more than one; right-aligned it stays in column A, on one page.
# Usage: printtitle_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
for align in 1 2 3; do "$bookutil" title "$work/title$align.vln" "$align"; done

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
align=$1
start "$WORK/title$align.vln"
title_is "title$align.vln"
alone=$(shown_windows)
xdotool key --clearmodifiers ctrl+p
new_window "$alone" "the print sheet"
sheet=$found
focus_on "$sheet" "the print sheet"
xdotool key --clearmodifiers Return
gone "$sheet" "the print sheet"
wait_dialog '^Save As' 300
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$WORK/title$align.pdf"
xdotool key --clearmodifiers Return
printed() { pdfinfo "$WORK/title$align.pdf" >/dev/null 2>&1; }
poll 300 printed || { echo "no PDF of the title aligned by $align"; exit 1; }
kill "$pid"
RUN

pages=()
for align in 1 2 3; do
  run run.sh "$align"
  pages[$align]=$(pdfinfo "$work/title$align.pdf" | sed -n 's/^Pages: *//p')
done
echo "pages: left ${pages[1]}, centred ${pages[2]}, right ${pages[3]}"
[ "${pages[1]}" -ge 2 ] || { echo "the left-aligned title did not flow past its page"; exit 1; }
[ "${pages[2]}" = "${pages[1]}" ] || { echo "the centred title was cut: ${pages[2]} pages, left-aligned ${pages[1]}"; exit 1; }
[ "${pages[3]}" = 1 ] || { echo "the right-aligned title in column A printed ${pages[3]} pages"; exit 1; }
echo "a centred title prints over the columns it covers"
