#!/usr/bin/env bash
# A printout of some 7,800 pages into a PDF, by keys: Ctrl+P, Return on the print sheet (the
# PDF printer) and Return on the file's name. While it prints, a box with its progress and
# Cancel shows and holds the keyboard; Escape there ends the job: the box goes, the frame
# takes the keyboard back, no message follows, and neither the PDF nor its temporary copy is
# left. The grid then takes the keys again. With "bare" no window manager runs, with "wm" one
# does. Each step waits for the state it needs.
# Usage: printprogress_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
"$bookutil" longprint "$work/long.vln"
mkdir -p "$work/tmp"
export MODE="$mode" TMPDIR="$work/tmp" BOOK="$work/after.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
# The progress box names itself a toolbar first, as the print wait's box does: a message box
# or the print sheet does not.
wait_box() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q '= _NET_WM_WINDOW_TYPE_TOOLBAR, '; }
progress_shown() { window_beyond "$alone" && wait_box "$found"; }
start "$WORK/long.vln"
title_is 'long.vln'
frame=$wid
alone=$(shown_windows)
xdotool key --clearmodifiers ctrl+p
new_window "$alone" "the print sheet"
sheet=$found
focus_on "$sheet" "the print sheet"
xdotool key --clearmodifiers Return
gone "$sheet" "the print sheet"
wait_dialog '^Save As' 300
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$WORK/long.pdf"
xdotool key --clearmodifiers Return
poll 300 progress_shown || {
  echo "no progress box while thousands of pages print; shown:"
  for w in $(shown_windows); do echo "$w '$(xdotool getwindowname "$w" 2>/dev/null)' $(xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null)"; done
  ls -la "$WORK" "$TMPDIR"
  import -window root "$WORK/noprogress.png" 2>/dev/null || true
  exit 1
}
box=$found
focus_on "$box" "the progress box"
xdotool key --clearmodifiers Escape
gone "$box" "the progress box after Escape"
focus_on "$frame" "the frame after the printout ended"
[ "$(shown_windows)" = "$alone" ] || { echo "a window followed the stopped printout: $(shown_windows)"; exit 1; }
[ ! -e "$WORK/long.pdf" ] || { echo "the stopped printout left its PDF"; exit 1; }
# The job is made aside as vorlane-job-*.pdf; other programs keep their own things there.
left=$(find "$TMPDIR" -name 'vorlane-job-*')
[ -z "$left" ] || { echo "the stopped printout left its temporary copy: $left"; exit 1; }
# The grid takes the keys again.
xdotool type --delay 30 after
xdotool key --clearmodifiers Return
save_as "$BOOK"
kill "$pid"
RUN

run run.sh
expected=$'A1\ttext\tafter\nJ200000\ttext\tz'
if ! diff -u <(printf '%s\n' "$expected") <("$bookutil" dump "$BOOK"); then
  echo "the saved cells differ from what the keys should have made"
  cat "$work/out.log"
  exit 1
fi
echo "print progress ($mode): shown while thousands of pages printed, ended by Escape with nothing left"
