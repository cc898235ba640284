#!/usr/bin/env bash
# A dialog's Help, twice in a run: Alt+S, O opens Options (not Locales, whose letter it once
# shared); its Help button shows the help window beside the dialog, without covering it; the
# dialog keeps the keyboard, the first time too, so Escape closes it at once, and the help
# stays open to read. With "bare" no window manager runs and the help must stand above the
# frame and the dialog; with "wm" one runs that gives every new window the keyboard it may.
# Usage: dialoghelp_e2e.sh bare|wm <default-settings.xml> <program>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode"
cat >"$work/drive.sh" <<'DRIVE'
set -u
. "$LIB"
[ "$MODE" = bare ] || window_manager
start
# Stacked above the frame and the dialog: xwininfo lists the root's children from the top
# (under a window manager they are its frames, so only without one).
check_stacking() {
  local stack hp op fp
  stack=$(xwininfo -root -children | grep -oE '^ +0x[0-9a-f]+' | tr -d ' ')
  position() { local i=0 w; for w in $stack; do i=$((i + 1)); [ $((w)) -eq $(($1)) ] && echo $i; done; }
  hp=$(position "$help") op=$(position "$options") fp=$(position "$wid")
  if [ -z "$hp" ] || [ -z "$op" ] || [ "$hp" -gt "$op" ] || [ "$hp" -gt "$fp" ]; then
    echo "the help window stands below the dialog or the frame (from the top: help $hp, dialog $op, frame $fp)"; exit 1
  fi
}
# True when the window stands where it stood a tenth of a second ago.
placed_still() {
  local before
  before=$(xwininfo -id "$1" | grep -E 'Absolute|Width|Height')
  sleep 0.1
  [ "$before" = "$(xwininfo -id "$1" | grep -E 'Absolute|Width|Height')" ]
}
# True when the window stands clear of the dialog's place ($ox, $oy, $ow, $oh).
clear_of_dialog() {
  window_place "$1"
  ! { [ $((X + WIDTH)) -gt "$ox" ] && [ $((ox + ow)) -gt "$X" ] &&
      [ $((Y + HEIGHT)) -gt "$oy" ] && [ $((oy + oh)) -gt "$Y" ]; }
}
# True when the window has had the keyboard for three tenths of a second.
focus_still() {
  local i
  for i in 1 2 3; do has_focus "$1" || return 1; sleep 0.1; done
  has_focus "$1"
}
for round in first second; do
  wait_focus "$wid"
  menu alt+s o
  wait_dialog '^Options$'
  options=$found
  window_place "$options"
  ox=$X oy=$Y ow=$WIDTH oh=$HEIGHT
  # Help is the last of the three buttons along the dialog's bottom edge.
  pointer_to $((ox + ow * 5 / 6)) $((oy + oh - 22))
  xdotool click 1
  wait_window '^Vorlane Help$'
  help=$found
  # The help has found its place, and the keyboard rests with the dialog.
  poll 100 placed_still "$help" || { echo "the help window keeps moving"; exit 1; }
  poll 100 focus_still "$options" ||
    { echo "the $round Help took the keyboard from the dialog (to $(xdotool getwindowfocus))"; exit 1; }
  # Under load the window manager's first place can stand still a while before the help's own
  # place follows: wait for the help to stand clear of the dialog, bounded.
  poll 100 clear_of_dialog "$help" || {
    window_place "$help"
    echo "the help window ($X,$Y ${WIDTH}x$HEIGHT) covers the dialog ($ox,$oy ${ow}x$oh)"; exit 1
  }
  import -window root "$WORK/help-$round.png"
  [ "$MODE" != bare ] || check_stacking
  # The dialog kept the keyboard: Escape closes it without a click first.
  xdotool key Escape
  for _ in $(seq 1 200); do
    xdotool search --onlyvisible --name '^Options$' >/dev/null 2>&1 || break
    sleep 0.1
  done
  if xdotool search --onlyvisible --name '^Options$' >/dev/null 2>&1; then
    echo "Escape after the $round Help left the Options dialog open"; exit 1
  fi
  xdotool search --onlyvisible --name '^Vorlane Help$' >/dev/null 2>&1 ||
    { echo "the help window closed with the dialog"; exit 1; }
  echo "the $round Help beside Options, Escape closed the dialog"
  # The reader turns to the help and closes it.
  xdotool windowfocus "$help"
  wait_focus "$help"
  keys Escape
  wait_gone '^Vorlane Help$'
done
quit
DRIVE
run drive.sh
