#!/usr/bin/env bash
# Ctrl+P with a print server that takes connections and never answers: the window repaints
# while the print system is waited for, and the print sheet opens once the program has asked
# the server, on the PDF printer, as with no print server at all; a second Ctrl+P opens it
# without asking the silent server again, and its Properties... is off on the PDF printer: no
# message asks the silent print system.
# Usage: printserver_e2e.sh <default-settings.xml> <vorlane>
set -euo pipefail
settings=$1 vorlane=$2
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
# It writes a line to the file named by its argument for each connection it takes.
cat >"$work/silent.py" <<'PY'
import socket, sys
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(64)
print(server.getsockname()[1], flush=True)
held = []
with open(sys.argv[1], "a", buffering=1) as taken:
    while True:
        held.append(server.accept()[0])
        taken.write("connection %d\n" % len(held))
PY
cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
: >"$WORK/taken"
python3 "$WORK/silent.py" "$WORK/taken" >"$WORK/port" &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
poll 50 test -s "$WORK/port" || { echo "the print server did not start"; exit 1; }
export CUPS_SERVER="127.0.0.1:$(cat "$WORK/port")"
# The program waits 8 s for the print system, not 1.5: the looks at the window during the
# wait are not a race against its end on a busy machine.
export VORLANE_PRINT_SYSTEM_WAIT_MS=8000
now() { date +%s%N; }
sheet_shown() { xdotool search --onlyvisible --name '^Vorlane 7\.3$' 2>/dev/null | head -n 1 || true; }
# The part of the grid a window covers and uncovers while the print system is waited for.
area() { convert "$WORK/$1.png" -crop 240x160+80+220 +repage "$WORK/$1-area.png"; }

start
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The window as it stands once painted: a slow start shows it black at first.
painted() { [ "$(convert "$WORK/before.png" -crop 240x160+80+220 +repage -format %k info:)" -gt 1 ]; }
shot_until "$wid" "$WORK/before.png" painted || { echo "the window was never painted"; exit 1; }
# Cut out before Ctrl+P: the wait leaves no time to spare on a busy machine.
area before
# The grid is covered before Ctrl+P, and uncovered by the same client right after it: the
# server hands the program the key before the exposure, so the exposure comes in the wait,
# however slowly the machine runs this script.
xmessage -geometry "240x160+$((X + 80))+$((Y + 220))" "covering the grid" &
cover=$!
covering() { xdotool search --onlyvisible --class '^xmessage$' >/dev/null 2>&1; }
not_covering() { ! covering; }
poll 100 covering || { echo "no window covered the grid"; exit 1; }
cover_window=$(xdotool search --onlyvisible --class '^xmessage$' | head -n 1)
wait_focus "$wid"
t0=$(now)
xdotool key --clearmodifiers ctrl+p windowunmap "$cover_window"
poll 30 not_covering || { echo "the covering window stays"; exit 1; }
uncovered=$(now)
kill "$cover"
# The covered part is painted again while the print sheet has not shown yet (the picture is
# taken before the sheet is looked for: it shows the window during the wait).
sheet_early="" latest=-1
repainted() {
  local begun=$(( ($(now) - uncovered) / 1000000 ))
  import -window "$wid" "$WORK/during.png"
  if [ -n "$(sheet_shown)" ]; then sheet_early=1; return 0; fi
  latest=$begun
  area during
  [ "$(compare -metric AE "$WORK/before-area.png" "$WORK/during-area.png" null: 2>&1 || true)" = 0 ]
}
poll 30 repainted || true
# The window had a second to repaint before a picture that shows it unpainted: a fault. A
# machine too busy to look a second into an 8-second wait cannot tell.
if [ -n "$sheet_early" ] && [ "$latest" -lt 1000 ]; then
  echo "the print sheet opened before a look a second into the wait (last ${latest} ms): skipped" >>"$WORK/out.log"
  exit 77
fi
[ -z "$sheet_early" ] || { echo "the print sheet opened before the window repainted"; exit 1; }
sheet_found() { found=$(sheet_shown); [ -n "$found" ]; }
poll 400 sheet_found || { echo "no print sheet while the print server stayed silent"; exit 1; }
[ -s "$WORK/taken" ] || { echo "the print sheet opened without asking the print server"; exit 1; }
after=$(( ($(now) - t0) / 1000000 ))
echo "first print sheet after $after ms" >>"$WORK/out.log"
# The wait the environment set held the sheet back (it ends no sooner, however busy the machine).
[ "$after" -ge 8000 ] || { echo "the print sheet opened $after ms into an 8-second wait"; exit 1; }
area before
area during
differ=$(compare -metric AE "$WORK/before-area.png" "$WORK/during-area.png" null: 2>&1 || true)
[ "$differ" = "0" ] || { echo "the window did not repaint while it waited ($differ pixels)"; exit 1; }
wait_focus "$found"
xdotool key --clearmodifiers Escape
poll 50 not_shown '^Vorlane 7\.3$' || { echo "Escape left the print sheet open"; exit 1; }
# The print system still has not answered: it is not asked (nor waited for) again.
wait_focus "$wid"
asked=$(cat "$WORK/taken")
xdotool key --clearmodifiers ctrl+p
poll 200 sheet_found || { echo "no second print sheet"; exit 1; }
[ "$(cat "$WORK/taken")" = "$asked" ] ||
  { echo "the second print sheet asked the silent print server again: $(tr '\n' ' ' <"$WORK/taken")"; exit 1; }
wait_focus "$found"
sheet=$found
# Properties... is off on the PDF printer, which has no properties to show: Alt+P reaches
# Pages, which shares the letter, and no message asks the silent print system, so the next
# Escape closes the sheet itself.
xdotool key --clearmodifiers alt+p space
wait_focus "$sheet"
xdotool key --clearmodifiers Escape
poll 50 not_shown '^Vorlane 7\.3$' || { echo "Escape left the second print sheet open"; exit 1; }
quit
RUN
run run.sh
grep "first print sheet" "$work/out.log"
echo "print server e2e passed"
