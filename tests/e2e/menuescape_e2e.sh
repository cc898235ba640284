#!/usr/bin/env bash
# A menu opened by Alt and its letter and left by Escape gives the keys back to the grid:
# after each menu of the bar what is typed goes into the cell and Down moves on, and after one more Ctrl+Z
# undoes the last entry and F12 saves. With "bare" no window manager runs, with "wm" one does.
# Each step waits for the state it needs.
# Usage: menuescape_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/menus.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
# Waits (20 s at most) until the program shows the given number of windows.
windows_are() {
  for _ in $(seq 1 200); do
    [ "$(shown_windows | wc -l)" -eq "$1" ] && return 0
    sleep 0.1
  done
  echo "$2: $(shown_windows | wc -l) windows shown, expected $1"; exit 1
}
start
title_is 'New Workbook'
alone=$(shown_windows | wc -l)
open_and_escape() {
  xdotool key --clearmodifiers "alt+$1"
  windows_are $((alone + 1)) "Alt+$1"
  xdotool key --clearmodifiers Escape
  windows_are "$alone" "Escape in the menu of Alt+$1"
}
for letter in f e v i; do
  open_and_escape "$letter"
  xdotool type --delay 30 "menu $letter"
  xdotool key --clearmodifiers Down
done
title_is 'Worksheet1 \*\]'
open_and_escape e
xdotool type --delay 30 "undone"
xdotool key --clearmodifiers Down
open_and_escape o
xdotool key --clearmodifiers ctrl+z
open_and_escape t
xdotool key --clearmodifiers F12
wait_dialog '^Save As'
xdotool type --delay 20 "$BOOK"
xdotool key --clearmodifiers Return
title_is "$BOOK - " 300
kill "$pid"
RUN

run run.sh
expected=$'A1\ttext\tmenu f\nA2\ttext\tmenu e\nA3\ttext\tmenu v\nA4\ttext\tmenu i'
if ! diff -u <(printf '%s\n' "$expected") <("$bookutil" dump "$BOOK"); then
  echo "the saved cells differ from what the keys should have made"
  exit 1
fi
echo "menu escape ($mode): the grid took the keys after each menu"
