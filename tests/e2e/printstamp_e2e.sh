#!/usr/bin/env bash
# A workbook saved in "Ordner Ü/Überblick.vlx" whose header prints its file's change date and
# time (&G &Z), printed into a PDF by keys: Ctrl+P, Return on the print sheet, a name and
# Return in the file dialog. The header shows the file's own change, not 1 January 1970.
# Usage: printstamp_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
folder="$work/Ordner Ü"
mkdir -p "$folder"
"$bookutil" stampheader "$folder/Überblick.vlx"
# The file's change at a time of day no run makes it by chance.
TZ=UTC touch -d '2001-02-03 12:34:56' "$folder/Überblick.vlx"
export TZ=UTC BOOK="$folder/Überblick.vlx"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
start "$BOOK"
title_is 'Überblick.vlx'
alone=$(shown_windows)
xdotool key --clearmodifiers ctrl+p
new_window "$alone" "the print sheet"
sheet=$found
focus_on "$sheet" "the print sheet"
xdotool key --clearmodifiers Return
gone "$sheet" "the print sheet"
wait_dialog '^Save As' 300
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$WORK/stamp.pdf"
xdotool key --clearmodifiers Return
printed() { pdftotext "$WORK/stamp.pdf" - 2>/dev/null | grep -q 'Stamp:'; }
poll 300 printed || { echo "no PDF with the header"; exit 1; }
kill "$pid"
RUN

run run.sh
stamp=$(pdftotext "$work/stamp.pdf" - | grep -o 'Stamp:\[[^]]*\]')
case "$stamp" in
*1970*) echo "the header printed time 0: $stamp"; exit 1 ;;
*2001*12:34:56*) ;;
*) echo "the header printed no change date and time of the file: $stamp"; exit 1 ;;
esac
echo "file stamp ($stamp) printed for a path with letters outside ASCII"
