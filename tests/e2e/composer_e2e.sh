#!/usr/bin/env bash
# The formula composer across two runs of the program: shown at start where the profile
# puts it, moved by the user and saved there at exit; Esc hides it, and the next profile
# says so. Usage: composer_e2e.sh <default-settings.xml> <vorlane>
set -euo pipefail
settings=$1 vorlane=$2
. "$(dirname "$0")/e2elib.sh"
e2e_setup
sed 's|<ComposerWindow Position="0 0 0 0 -1" Visible="No">|<ComposerWindow Position="100 120 500 700 150" Visible="Yes">|' \
  "$settings" >"$profile"
grep -q 'Position="100 120 500 700 150" Visible="Yes"' "$profile"
export PROFILE="$profile"
cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
# The composer's window id, once it is shown.
composer() {
  local cid=""
  for _ in $(seq 1 200); do
    cid=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Formula Composer$' 2>/dev/null | head -n 1 || true)
    [ -n "$cid" ] && break
    sleep 0.1
  done
  echo "$cid"
}
# Its place on the screen as "x y".
place() {
  xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}'
}
start
cid=$(composer)
[ -n "$cid" ] || { echo "no composer at start"; exit 1; }
[ "$(place "$cid")" = "100 120" ] || { echo "composer at $(place "$cid")"; exit 1; }
xdotool windowmove "$cid" 160 90
moved() { [ "$(place "$cid")" = "160 90" ]; }
poll 100 moved || { echo "the composer stays at $(place "$cid")"; exit 1; }
quit
grep -q '<ComposerWindow Position="160 90 [0-9]* [0-9]* [0-9]*" Visible="Yes">' "$PROFILE" ||
  { echo "saved:"; grep ComposerWindow "$PROFILE"; exit 1; }
start
cid=$(composer)
[ -n "$cid" ] || { echo "no composer at the second start"; exit 1; }
[ "$(place "$cid")" = "160 90" ] || { echo "composer back at $(place "$cid")"; exit 1; }
xdotool windowfocus "$cid"
wait_focus "$cid"
xdotool key --clearmodifiers Escape
hidden() { [ -z "$(xdotool search --all --onlyvisible --pid "$pid" --name '^Formula Composer$' 2>/dev/null || true)" ]; }
poll 100 hidden || { echo "Esc left the composer shown"; exit 1; }
quit
grep -q '<ComposerWindow Position="160 90 [0-9 ]*" Visible="No">' "$PROFILE" ||
  { echo "saved after Esc:"; grep ComposerWindow "$PROFILE"; exit 1; }
RUN
run run.sh
echo "the composer came back where it was left, and stayed hidden after Esc"
