#!/usr/bin/env bash
# Ctrl+P and Return with a print server that answers every question but holds each job's
# hand-over until it is told to let it go. A wait with Cancel shows while the server holds the
# job and holds the keyboard. It ends once the server takes the job, whose document reaches
# the server; for a second job Escape ends it while the server still holds that job. No
# message follows either, and the grid takes the keys again. A key typed before the first
# wait shows its box (read by the program only after it showed) reaches the grid after it.
# With "bare" no window manager runs, with "wm" one does. Each step waits for the state it
# needs; a box nobody expected that takes the keyboard (a refused job) ends the run at once.
# Usage: printjobwait_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/printed.vln" SERVER="$E2E_HERE/stallingprintserver.py"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
# The server stops the program as a job's hand-over reaches it: the script looks at the
# windows as they stood then, however slowly the machine runs it, and lets the program go on.
jobs="$WORK/jobs"
: >"$jobs"
python3 "$SERVER" "$jobs" --stop "$WORK/program.pid" >"$WORK/port" 2>"$WORK/asked" &
server=$!
pid=""
# Under set -e a failing command ends the trap, and the run, with its status: the program
# may have ended already (the run ends it last).
trap 'kill -CONT $pid 2>/dev/null || true; kill $server 2>/dev/null || true' EXIT
poll 200 test -s "$WORK/port" || { echo "the print server did not start"; exit 1; }
export CUPS_SERVER="127.0.0.1:$(cat "$WORK/port")"

# The windows the run expects to hold the keyboard, one a line ("any" while a new window is
# waited for): any other window of the program that takes it is a box nobody asked for.
expected=""
# The name of a window the run waits for, which may take the keyboard before it is found.
awaited='^$'
# True when the keyboard is with a window of the program the run does not expect, and that
# is no wait of a job nor the window awaited; sets $box.
box_holds_keys() {
  [ "$expected" != any ] || return 1
  box=$(xdotool getwindowfocus 2>/dev/null || true)
  [ -n "$box" ] && shown_windows | grep -qx "$box" && ! grep -qx "$box" <<<"$expected" &&
    ! wait_box "$box" && ! xdotool getwindowname "$box" 2>/dev/null | grep -q -- "$awaited"
}
# Waits (20 s at most) until the command holds; the first argument names the state in the
# failure. A box nobody expected holding the keyboard ends the wait at once.
await() {
  local what=$1 end=$((SECONDS + 20))
  shift
  while [ "$SECONDS" -le "$end" ]; do
    "$@" && return 0
    if box_holds_keys; then
      echo "$what: a box nobody expected holds the keyboard instead: $box" \
        "'$(xdotool getwindowname "$box" 2>/dev/null)' ($(xprop -id "$box" _NET_WM_WINDOW_TYPE))"
      import -window "$box" "$WORK/box.png" 2>/dev/null || true
      exit 1
    fi
    sleep 0.1
  done
  "$@" && return 0
  echo "$what (not so after 20 s; the print server saw: $(tr '\n' ' ' <"$jobs"); asked: $(tr '\n' ' ' <"$WORK/asked"))"
  exit 1
}
job_state() { grep -qx "$1" "$jobs"; }
# The wait box names itself a toolbar first (no minimize under window managers): a message
# box does not.
wait_box() { xprop -id "$1" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_TOOLBAR, '; }
shown_wait_box() { window_beyond "$alone" && wait_box "$found"; }
program_stopped() { grep -q '^State:.*T' "/proc/$pid/status"; }
# Ctrl+P, Return on the print sheet; ends once the server holds job $1 and has stopped the
# program.
print_job() {
  xdotool key --clearmodifiers ctrl+p
  expected=any
  await "no print sheet showed" window_beyond "$alone"
  sheet=$found
  expected=$(printf '%s\n%s\n' "$frame" "$sheet")
  await "the print sheet did not take the keyboard" has_focus "$sheet"
  xdotool key --clearmodifiers Return
  await "job $1 did not reach the print server" job_state "held $1"
  await "the server did not stop the program as job $1 reached it" program_stopped
}
# Lets the program go on and waits for its wait box, holding the keyboard, while the server
# holds job $1 (it lets a job go only when the run tells it to).
wait_shows() {
  kill -CONT "$pid"
  expected=$(printf '%s\n%s\n' "$frame" "$sheet")
  await "the print sheet stays after Return" window_hidden "$sheet"
  await "no wait showed for job $1" shown_wait_box
  wait=$found
  expected=$(printf '%s\n%s\n' "$frame" "$wait")
  await "the wait did not take the keyboard" has_focus "$wait"
}
# The wait is gone, the frame has the keyboard again, and no other window shows.
wait_ended() {
  expected=$(printf '%s\n%s\n' "$frame" "$wait")
  await "$1" window_hidden "$wait"
  expected=$frame
  await "the frame did not take the keyboard back after the wait" has_focus "$frame"
  [ "$(shown_windows)" = "$alone" ] || { echo "a window followed the wait: $(shown_windows)"; exit 1; }
}

start
echo "$pid" >"$WORK/program.pid"
title_is 'New Workbook'
frame=$wid
expected=$frame
alone=$(shown_windows)
xdotool type --delay 30 5
xdotool key --clearmodifiers Down

# A job whose wait shows while the server holds it, and ends once the server takes it: the
# program's print system has answered, and is asked again by the next job.
print_job 1
! window_beyond "$alone" || { echo "a window showed before job 1 reached the server: $found"; exit 1; }
# The program stands still with the frame holding the keyboard (the program gave it back as
# the sheet went) and no wait shown: the key typed now is typed before the wait shows, and
# the program reads it only after the wait has shown. It reaches the grid once the wait ends.
await "as job 1 reached the server the keyboard was not with the frame" has_focus "$frame"
xdotool key --clearmodifiers 7
wait_shows 1
grep -q 'op 0005' "$WORK/asked" || { echo "the job was not handed over:"; cat "$WORK/asked"; exit 1; }
kill -USR1 "$server"
wait_ended "the wait stayed after the server took job 1"
# Down ends the entry of the key typed before the wait showed.
xdotool key --clearmodifiers Down
await "job 1's document did not reach the server" grep -q '^received 1 ' "$jobs"
bytes=$(sed -n 's/^received 1 //p' "$jobs")
[ "$bytes" -gt 1000 ] || { echo "job 1 reached the server with $bytes bytes only"; exit 1; }

# A second job, whose wait ends by Escape while the server still holds the job.
print_job 2
wait_shows 2
if [ "$MODE" = wm ]; then
  # The window manager offers the wait no minimize or maximize, and a request to minimize
  # it hides nothing: the wait keeps the keyboard for the Escape below.
  # The box names its kind once shown: the window manager takes the buttons away then.
  offers_no_minimize() {
    actions=$(xprop -id "$wait" _NET_WM_ALLOWED_ACTIONS)
    case "$actions" in *MINIMIZE* | *MAXIMIZE*) return 1 ;; esac
  }
  await "the wait can be minimized or maximized" offers_no_minimize
  case "$actions" in
  *_NET_WM_ACTION_CLOSE*) ;;
  *) echo "the wait cannot be closed: $actions"; exit 1 ;;
  esac
  desks=$(xprop -root _NET_NUMBER_OF_DESKTOPS | awk '{print $3}')
  xdotool windowminimize "$wait"
  # A request the window manager answers after the minimize: once it is answered, the
  # minimize has been read.
  xdotool set_num_desktops $((desks + 1))
  desktops_added() { xprop -root _NET_NUMBER_OF_DESKTOPS | grep -q "= $((desks + 1))\$"; }
  await "the window manager did not answer" desktops_added
  for window in "$wait" "$frame"; do
    xprop -id "$window" WM_STATE | grep -q 'Normal' || { echo "$window was minimized"; exit 1; }
  done
  await "the wait lost the keyboard to a minimize" has_focus "$wait"
fi
# Escape ends the wait while the server still holds the job: the wait reads the key itself
# (else it would end, refused, only once the hand-over's own bound had passed).
xdotool key --clearmodifiers Escape
wait_ended "Escape left the wait shown"
# The grid takes the keys again.
xdotool type --delay 30 after
xdotool key --clearmodifiers Down F12
awaited='^Save As'
await "no Save As after F12" shown "$awaited"
wait_window '^Save As'
expected=$(printf '%s\n%s\n' "$frame" "$found")
await "Save As did not take the keyboard" has_focus "$found"
xdotool type --delay 20 "$BOOK"
xdotool key --clearmodifiers Return
await "the workbook was not saved as $BOOK" titled "$BOOK - "
kill "$pid"
RUN

run run.sh
expected=$'A1\tnumber\t5\nA2\tnumber\t7\nA3\ttext\tafter'
if ! diff -u <(printf '%s\n' "$expected") <("$bookutil" dump "$BOOK"); then
  echo "the saved cells differ from what the keys should have made"
  cat "$work/out.log"
  exit 1
fi
echo "print job wait ($mode): shown while the server held the job, held the keyboard, ended by Escape and by the server"
