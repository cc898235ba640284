#!/usr/bin/env bash
# A dialog's Help under an X server without a window manager: Alt+S, O opens Options (not
# Locales, whose letter it once shared); its Help button shows the help window beside the
# dialog, above everything, without covering it; the dialog keeps the keyboard, so Escape
# closes it at once, and the help stays open to read.
# Usage: dialoghelp_e2e.sh <default-settings.xml> <program>
set -euo pipefail
settings=$1
vorlane=$2
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
cat >"$work/drive.sh" <<'DRIVE'
set -u
. "$LIB"
start
keys alt+s o
wait_window '^Options$'
options=$found
eval "$(xdotool getwindowgeometry --shell "$options")"
ox=$X oy=$Y ow=$WIDTH oh=$HEIGHT
import -window root "$WORK/options.png"
# Help is the last of the three buttons along the dialog's bottom edge.
xdotool mousemove --sync $((ox + ow * 5 / 6)) $((oy + oh - 22)) click 1
wait_window '^Vorlane Help$'
help=$found
sleep 0.5
import -window root "$WORK/help.png"
eval "$(xdotool getwindowgeometry --shell "$help")"
hx=$X hy=$Y hw=$WIDTH hh=$HEIGHT
if [ $((hx + hw)) -gt "$ox" ] && [ $((ox + ow)) -gt "$hx" ] &&
   [ $((hy + hh)) -gt "$oy" ] && [ $((oy + oh)) -gt "$hy" ]; then
  echo "the help window ($hx,$hy ${hw}x$hh) covers the dialog ($ox,$oy ${ow}x$oh)"; exit 1
fi
# Stacked above the frame and the dialog: xwininfo lists the root's children from the top.
stack=$(xwininfo -root -children | grep -oE '^ +0x[0-9a-f]+' | tr -d ' ')
position() { local i=0 w; for w in $stack; do i=$((i + 1)); [ $((w)) -eq $(($1)) ] && echo $i; done; }
hp=$(position "$help") op=$(position "$options") fp=$(position "$wid")
if [ -z "$hp" ] || [ -z "$op" ] || [ "$hp" -gt "$op" ] || [ "$hp" -gt "$fp" ]; then
  echo "the help window stands below the dialog or the frame (from the top: help $hp, dialog $op, frame $fp)"; exit 1
fi
# The dialog kept the keyboard: Escape closes it without a click first.
xdotool key Escape
for _ in $(seq 1 50); do
  xdotool search --onlyvisible --name '^Options$' >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --onlyvisible --name '^Options$' >/dev/null 2>&1; then
  echo "Escape after Help left the Options dialog open"; exit 1
fi
xdotool search --onlyvisible --name '^Vorlane Help$' >/dev/null 2>&1 ||
  { echo "the help window closed with the dialog"; exit 1; }
echo "Help beside Options, Escape closed the dialog"
xdotool windowfocus --sync "$help"
keys Escape
quit
DRIVE
run drive.sh
