#!/usr/bin/env bash
# The toolbars by keys: Alt alone, then Ctrl+Tab from toolbar to toolbar. The formatting
# bar's Cell button pressed by Return opens its page with the keyboard; the address box takes
# an address and Return goes there; Down on the Go button opens its drop-down, and Escape
# gives the keys back to the grid. After each, what is typed goes into the cell. With "bare"
# no window manager runs, with "wm" one does. Each step waits for the state it needs.
# Usage: toolbarkeys_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/bars.vln"

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
type_line "start"
# The standard bar, the address bar, the formatting bar's Font; Right: Cell.
xdotool key --clearmodifiers alt
xdotool key --clearmodifiers ctrl+Tab ctrl+Tab ctrl+Tab Right Return
new_window "$alone" "the Cell page"
page=$found
focus_on "$page" "the Cell page"
xdotool key --clearmodifiers Escape
gone "$page" "the Cell page after Escape"
type_line "page"
xdotool key --clearmodifiers alt
xdotool key --clearmodifiers ctrl+Tab ctrl+Tab
xdotool type --delay 30 C5
xdotool key --clearmodifiers Return
type_line "address"
# From the address box Tab reaches Go; Down opens its drop-down. Each key waits until the
# frame shows where the one before put the keys: keys that come all at once reach the program
# in one batch, before what the one before left for later. The picture each key leaves is the
# one the next key changes.
settled_but_caret "$wid" "$WORK/last.png"
key_changes_frame() {
  xdotool key --clearmodifiers "$1"
  shot_until "$wid" "$WORK/changed.png" differ_beyond_caret "$WORK/last.png" "$WORK/changed.png" ||
    { echo "the key $1 changed nothing in the window"; exit 1; }
  mv "$WORK/changed.png" "$WORK/last.png"
}
for key in alt ctrl+Tab ctrl+Tab Tab; do key_changes_frame "$key"; done
xdotool key --clearmodifiers Down
poll 200 popup_shown || { echo "no drop-down under Go"; exit 1; }
xdotool key --clearmodifiers Escape
poll 100 no_popup || { echo "the drop-down stays after Escape"; exit 1; }
type_line "go"
save_as "$BOOK"
kill "$pid"
RUN

run run.sh
expected=$'A1\ttext\tstart\nA2\ttext\tpage\nC5\ttext\taddress\nC6\ttext\tgo'
if ! diff -u <(printf '%s\n' "$expected") <("$bookutil" dump "$BOOK"); then
  echo "the saved cells differ from what the keys should have made"
  exit 1
fi
echo "toolbars by keys ($mode): pages, the address box and drop-downs reached"
