#!/usr/bin/env bash
# The Workbook Protection dialog and the open password by keys, without a window manager
# ("bare") and under one ("wm"): the read-only question answers No to Return and leaves the
# dialog as it was; Yes closes both, and the grid has the keys after (three times over: a
# window manager may give the keyboard to its own window between the two closings); the
# workbook saved with the password opens again by it. Usage: protection_e2e.sh bare|wm
# <default-settings.xml> <vorlane>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export BOOK="$work/locked.vlb" MODE="$mode"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
start
title_is 'New Workbook'
menu alt+f e
wait_dialog '^Workbook Protection$'
dialog=$found
keys alt+p alt+d
xdotool type --delay 20 Secret7
keys alt+c
xdotool type --delay 20 Secret7
keys alt+a Return
wait_dialog '^Vorlane 7\.3$'
question=$found
keys Return
gone "$question" "the read-only question"
wait_focus "$dialog"
for round in 1 2 3; do
  keys Return
  wait_dialog '^Vorlane 7\.3$'
  keys alt+y
  gone "$found" "the read-only question"
  gone "$dialog" "the protection dialog"
  focus_on "$wid" "the frame after the protection dialog (round $round)"
  xdotool type --delay 20 "$round"
  keys Return
  if [ "$round" -lt 3 ]; then
    menu alt+f e
    wait_dialog '^Workbook Protection$'
    dialog=$found
  fi
done
save_as "$BOOK"
menu alt+f c
title_is '^Vorlane 7\.3$'
keys ctrl+o
wait_dialog '^Open$' 600
xdotool type --delay 20 "$BOOK"
keys Return
wait_dialog '^Open Password Protected Workbook$'
xdotool type --delay 20 Secret7
keys Return
title_is "\[$BOOK - " 300
wait_focus "$wid"
quit
RUN

run run.sh
echo "protection ($mode): No answered Return, the grid had the keys after each close, the password opened the book"
