#!/usr/bin/env bash
# Types a workbook into the program under a real X server, saves it through the Save As
# dialog and quits by the File menu; checks the file with the engine's reader; opens it
# again from the command line, adds a cell, saves with Ctrl+S, quits and checks again.
# Usage: workbook_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
xserver="$(dirname "$0")/xserver.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Vorlane"
cp "$settings" "$work/config/Vorlane/settings.xml"
book="$work/typed.vln"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb HOME="$work"
cat >"$work/lib.sh" <<'LIB'
# Starts the program with the given arguments and waits for its frame; sets $pid and $wid.
start() {
  "$VORLANE" "$@" >>"$WORK/out.log" 2>&1 &
  pid=$!
  wid=""
  for _ in $(seq 1 300); do
    wid=$(xdotool search --name '^Vorlane 7\.3' 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "no frame"; cat "$WORK/out.log"; exit 1; }
  # No window manager runs under Xvfb: the frame gets the focus directly.
  xdotool windowfocus --sync "$wid"
  sleep 1
}
# Waits until the frame's title matches the pattern.
title_is() {
  for _ in $(seq 1 50); do
    xdotool getwindowname "$wid" | grep -q -- "$1" && return 0
    sleep 0.1
  done
  echo "title is '$(xdotool getwindowname "$wid")', expected '$1'"; exit 1
}
# Quits by the File menu's Exit and waits for the process to end.
quit() {
  xdotool windowfocus --sync "$wid"
  sleep 0.3
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers x
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then echo "still running after Alt+F, x"; kill "$pid"; exit 1; fi
  wait "$pid"
}
LIB
cat >"$work/first.sh" <<'FIRST'
set -eu
. "$WORK/lib.sh"
start
title_is 'New Workbook - \\Worksheet1'
# A number, a text, a formula and a date, each ended by the arrow below.
for entry in 12 Apples '=A1*2' 3/5/2024; do
  xdotool type --delay 40 "$entry"
  xdotool key Down
done
title_is 'Worksheet1 \*'
xdotool key F12
sid=""
for _ in $(seq 1 50); do
  sid=$(xdotool search --name '^Save As' 2>/dev/null | head -n 1 || true)
  [ -n "$sid" ] && break
  sleep 0.1
done
[ -n "$sid" ] || { echo "no Save As dialog"; exit 1; }
xdotool windowfocus --sync "$sid"
sleep 0.3
xdotool type --delay 20 "$BOOK"
xdotool key Return
title_is "$BOOK - "
quit
FIRST
cat >"$work/second.sh" <<'SECOND'
set -eu
. "$WORK/lib.sh"
start "$BOOK"
title_is "$BOOK - "
# The cursor comes back where it was saved (A5); the new cell goes one row further down.
xdotool key Down
xdotool type --delay 40 "99"
xdotool key Return
title_is '\*'
xdotool key ctrl+s
title_is 'Worksheet1]\?$'
quit
SECOND
run() {
  local rc=0
  WORK="$work" VORLANE="$vorlane" BOOK="$book" \
    bash "$xserver" bash "$work/$1" || rc=$?
  if [ "$rc" -ne 0 ]; then echo "$1 failed ($rc)"; cat "$work/out.log"; exit 1; fi
}
expect() {
  "$bookutil" dump "$book" >"$work/dump.txt"
  for line in "$@"; do
    grep -qxF -- "$line" "$work/dump.txt" || { echo "missing '$line' in:"; cat "$work/dump.txt"; exit 1; }
  done
}
run first.sh
expect $'A1\tnumber\t12' $'A2\ttext\tApples' $'A3\tformula\t=A1*2 -> 24.000000'
grep -q $'^A4\ttext\t2024-03-05$' <("$bookutil" dump "$book") ||
  { echo "the date is not stored as one"; "$bookutil" dump "$book"; exit 1; }
run second.sh
expect $'A1\tnumber\t12' $'A2\ttext\tApples' $'A6\tnumber\t99'
echo "typed, saved, reopened and saved again: $(wc -l <"$work/dump.txt") cells"
