#!/usr/bin/env bash
# Starts the program under a real X server with a settings folder of its own, checks the
# frame's title, quits by real keys (Alt+F, then x for Exit) and checks that the profile
# was written back. Usage: shell_e2e.sh <default-settings.xml> <command> [arguments...]
set -euo pipefail
settings=$1
shift
. "$(dirname "$0")/e2elib.sh"
e2e_setup
# An element the reader skips and the writer never writes: its absence shows the rewrite.
sed 's|</Profile>|\t<Image>marker.png</Image>\r\n</Profile>|' "$settings" >"$profile"
grep -q marker.png "$profile"
cat >"$work/drive.sh" <<'DRIVE'
set -u
. "$LIB"
VORLANE=$1
shift
# A run script builds the program before it starts it: on a loaded machine, or after a source
# changed, that takes longer than a start (the test's own time limit still bounds it).
[ "$VORLANE" != bash ] || START_TENTHS=5000
start "$@"
echo "title: $(xdotool getwindowname "$wid")"
quit
DRIVE
run drive.sh "$@"
grep -q '<Profile MD5=""' "$profile" || { echo "profile not written"; exit 1; }
if grep -q marker.png "$profile"; then echo "profile not rewritten"; exit 1; fi
echo "quit with 0 and wrote $profile"
