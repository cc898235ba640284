#!/usr/bin/env bash
# The window's shortcut keys from its start and after each dialog and page it opened closes,
# nobody giving it the keyboard: with "bare" no window manager runs (only the program itself
# hands the keyboard over), with "wm" one that activates new windows. Ctrl+Z undoes a Delete,
# F2 picks a reference into a formula, F12 saves as, the Options dialog and the Style page
# come and go by their keys, Delete and Ctrl+S act after them, and the File menu quits.
# Usage: activation_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export BOOK="$work/keys.vln" MODE="$mode"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
start
title_is 'New Workbook'
xdotool type --delay 40 7
keys Return Delete ctrl+z Down
xdotool type --delay 40 '=1+'
keys F2 Up F2 Return
save_as "$BOOK"
# The Save As dialog closed: F2 again, in A3.
keys Down
xdotool type --delay 40 '=2+'
keys F2 Up F2 Return
menu alt+s o
wait_dialog '^Options$'
keys Escape
wait_gone '^Options$'
wait_focus "$wid"
menu alt+o s
wait_page '^Style$'
keys Escape
wait_gone '^Style$'
wait_focus "$wid"
keys Up Up Delete ctrl+s
title_is "\[$BOOK - "
quit
RUN

run run.sh
"$bookutil" dump "$BOOK" >"$work/dump.txt"
expected=$'A2\tformula\t=1+A1 -> 1.000000\nA3\tformula\t=2+A2 -> 3.000000'
if ! diff -u <(printf '%s\n' "$expected") "$work/dump.txt"; then
  echo "the saved cells differ from what the keys should have made"
  exit 1
fi
echo "activation ($mode): every shortcut acted, from the start and after each dialog"
