#!/usr/bin/env bash
# The "Open File" wait, shown while another process holds the workbook, closes by itself when
# the lock ends; the keyboard, given meanwhile to another program's window, stays there. With
# "bare" no window manager runs (the other window is given the X focus), with "wm" one does
# (the other window is activated). Each step waits for the state it needs.
# Usage: closingwait_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/held.vln"
"$bookutil" make "$BOOK"
# Holds the workbook alone until the file "release" appears.
cat >"$work/hold.py" <<'PY'
import fcntl, os, sys, time
book, ready, release = sys.argv[1:4]
with open(book, "r+b") as f:
    fcntl.flock(f, fcntl.LOCK_EX)
    open(ready, "w").close()
    while not os.path.exists(release):
        time.sleep(0.05)
PY

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
python3 "$WORK/hold.py" "$BOOK" "$WORK/ready" "$WORK/release" &
holder=$!
trap 'touch "$WORK/release"; kill $holder 2>/dev/null || true' EXIT
poll 50 test -e "$WORK/ready" || { echo "the workbook was not locked"; exit 1; }
start
title_is 'New Workbook'
xdotool key --clearmodifiers ctrl+o
wait_window '^Open$'
focus_on "$found" "the Open dialog"
xdotool type --delay 20 "$BOOK"
xdotool key --clearmodifiers Return
wait_window '^Open File$'
wait=$found
# Another program takes the keyboard while the wait goes on.
xmessage -name other "another program" &
other_pid=$!
wait_window '^other$'
other=$found
if [ "$MODE" = bare ]; then xdotool windowfocus "$other"; else xdotool windowactivate "$other"; fi
focus_on "$other" "the other program"
touch "$WORK/release"
title_is 'held.vln' 100
# The wait closed and the workbook opened: the keyboard stays with the other program, also
# once the program's hand-over of the closing window is through.
for _ in $(seq 1 10); do
  focus_on "$other" "the other program after the wait closed"
  sleep 0.1
done
xdotool search --onlyvisible --name '^Open File$' >/dev/null 2>&1 && { echo "the wait is still shown"; exit 1; }
kill "$other_pid" "$pid"
RUN

run run.sh
echo "closing wait ($mode): the other program kept the keyboard"
