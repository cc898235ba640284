#!/usr/bin/env bash
# Between workbook windows by keys: Ctrl+N opens a second window, Ctrl+F6 goes back to the
# first, where what is typed goes into the grid; Ctrl+F6 and Ctrl+F4 close the second, and what
# is typed then goes into the first window's grid again (not into its worksheet tree). Then F6
# puts the keys into the tree and Ctrl+F6 there and back gives them to the tree again, where
# Return renames the worksheet. With "bare" no window manager runs, with "wm" one does. Each
# step waits for the state it needs.
# Usage: windowswitch_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/first.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
start
title_is 'New Workbook'
xdotool key --clearmodifiers ctrl+n
title_is 'New Workbook'
xdotool key --clearmodifiers ctrl+F6
xdotool type --delay 30 switched
xdotool key --clearmodifiers Down
xdotool key --clearmodifiers ctrl+F6 ctrl+F4
xdotool type --delay 30 closed
xdotool key --clearmodifiers Down
xdotool key --clearmodifiers ctrl+n
title_is 'Worksheet1\]'
xdotool key --clearmodifiers ctrl+F6
title_is 'Worksheet1 \*'
xdotool key --clearmodifiers F6 ctrl+F6
title_is 'Worksheet1\]'
xdotool key --clearmodifiers ctrl+F6
title_is 'Worksheet1 \*'
xdotool key --clearmodifiers Return
xdotool type --delay 30 Named
xdotool key --clearmodifiers Return F6
title_is 'Named \*'
save_as "$BOOK"
kill "$pid"
RUN

run run.sh
expected=$'A1\ttext\tswitched\nA2\ttext\tclosed'
if ! diff -u <(printf '%s\n' "$expected") <("$bookutil" dump "$BOOK"); then
  echo "the saved cells differ from what the keys should have made"
  exit 1
fi
if ! diff -u <(printf 'A1\tswitched\nA2\tclosed\n') <("$bookutil" sheet "$BOOK" Named); then
  echo "the worksheet was not renamed from the tree that had the keys before Ctrl+F6"
  exit 1
fi
echo "workbook windows by keys ($mode): the grid, or the tree that had them, has the keys after Ctrl+F6"
