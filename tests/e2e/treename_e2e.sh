#!/usr/bin/env bash
# A worksheet named in the tree gives the keys back to the grid: Insert > New Worksheet with a
# name and Return, Tools > Rename with a name and Return, and with Escape. After each, what is
# typed goes into the active cell, Down moves the cell cursor (in the tree it would make
# another worksheet active) and, at the end, Ctrl+Z takes back the last cell. With "bare" no
# window manager runs, with "wm" one does. Each step waits for the state it needs.
# Usage: treename_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/named.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
start
title_is 'New Workbook'
# Typed into the grid, then Down: the cell below is next.
type_line() {
  focus_on "$wid" "the frame before '$1'"
  xdotool type --delay 30 "$1"
  xdotool key --clearmodifiers Down
}
# The menu gone and the window drawn whole after it: the name editor has the keys. (A key
# typed while the menu still closes can go to the menu.)
menu_done() {
  poll 100 no_popup || { echo "the menu stays open"; exit 1; }
  settled_but_caret "$wid" "$WORK/editing.png"
}
type_line one
menu alt+i w
menu_done
title_is '\\Worksheet2 \*'
xdotool type --delay 30 Sales
keys Return
title_is '\\Sales \*'
type_line s1
type_line s2
title_is '\\Sales \*'
# Ctrl+Up is the worksheet before, in the grid; its cursor stays on A2.
keys ctrl+Up
title_is '\\Worksheet1 \*'
menu alt+t r
menu_done
xdotool type --delay 30 First
keys Return
title_is '\\First \*'
type_line f2
title_is '\\First \*'
menu alt+t r
menu_done
xdotool type --delay 30 Nope
keys Escape
type_line f3
title_is '\\First \*'
keys ctrl+z
save_as "$BOOK"
kill "$pid"
RUN

run run.sh
check_sheet() {
  if ! diff -u <(printf '%s\n' "$2") <("$bookutil" sheet "$BOOK" "$1"); then
    echo "the saved cells of $1 differ from what the keys should have made"
    exit 1
  fi
}
check_sheet First $'A1\tone\nA2\tf2'
check_sheet Sales $'A1\ts1\nA2\ts2'
if ! diff -u <(printf '1\tFirst\n1\tSales\n') <("$bookutil" tree "$BOOK"); then
  echo "the saved worksheets differ from the names typed"
  exit 1
fi
echo "tree names ($mode): after each name the grid took the keys"
