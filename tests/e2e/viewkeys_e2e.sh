#!/usr/bin/env bash
# Windows opened from the View menu by keys take the keyboard and give it back: View > Zoom...
# shows the zoom pop-up, which holds the keys until Escape closes it, a menu of the frame used
# meanwhile included; View > Formula Composer shows the composer with the keyboard, and Escape
# hides it. Alt pressed and released alone, then Escape, gives the keys back to the grid too.
# After each, what is typed goes into the cell. With "bare" no window manager runs, with "wm"
# one does. Each step waits for the state it needs.
# Usage: viewkeys_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/view.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
start
title_is 'New Workbook'
frame=$wid
alone=$(shown_windows)
# Typed into the grid, then Down: the cell below is next.
type_line() {
  focus_on "$frame" "the frame before '$1'"
  xdotool type --delay 30 "$1"
  xdotool key --clearmodifiers Down
}
menu alt+v z
new_window "$alone" "the zoom pop-up"
zoom=$found
focus_on "$zoom" "the zoom pop-up"
xdotool key --clearmodifiers Up Up
xdotool key --clearmodifiers Escape
gone "$zoom" "the zoom pop-up after Escape"
type_line "zoom"
# A menu of the frame opened and left by Escape while the pop-up has the keys gives them back
# to the pop-up; once it closes, the grid has them, not the menu bar.
menu alt+v z
new_window "$alone" "the zoom pop-up again"
zoom=$found
focus_on "$zoom" "the zoom pop-up again"
menu alt+f
xdotool key --clearmodifiers Escape
poll 100 no_popup || { echo "the File menu stays open over the zoom pop-up"; exit 1; }
focus_on "$zoom" "the zoom pop-up after the File menu"
xdotool key --clearmodifiers Escape
gone "$zoom" "the zoom pop-up after the File menu and Escape"
type_line "menu"
menu alt+v c
wait_window '^Formula Composer$'
composer=$found
focus_on "$composer" "the composer"
xdotool key --clearmodifiers Escape
gone "$composer" "the composer after Escape"
type_line "composer"
xdotool key --clearmodifiers alt
xdotool key --clearmodifiers Escape
type_line "alt"
xdotool key --clearmodifiers F12
wait_window '^Save As'
focus_on "$found" "Save As"
xdotool type --delay 20 "$BOOK"
xdotool key --clearmodifiers Return
title_is "$BOOK - " 300
kill "$pid"
RUN

run run.sh
expected=$'A1\ttext\tzoom\nA2\ttext\tmenu\nA3\ttext\tcomposer\nA4\ttext\talt'
if ! diff -u <(printf '%s\n' "$expected") <("$bookutil" dump "$BOOK"); then
  echo "the saved cells differ from what the keys should have made"
  exit 1
fi
echo "view keys ($mode): the zoom pop-up and the composer took the keyboard and gave it back"
