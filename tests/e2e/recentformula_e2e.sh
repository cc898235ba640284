#!/usr/bin/env bash
# The Formula Composer button's list of recent formulas, under a real X server: with =abs(-7)
# and =abs(2) kept from an earlier run, a click on the button's arrow and the arrow keys
# choose the second into C3, which the saved file holds as its formula and value; nothing
# else of the worksheet changes.
# Usage: recentformula_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup
# Row 0 of the function catalogue is abs.
kept=$'\t\t<Formula Index="0">\r\n\t\t\t<Argument>-7</Argument>\r\n\t\t</Formula>\r\n'
kept+=$'\t\t<Formula Index="0">\r\n\t\t\t<Argument>2</Argument>\r\n\t\t</Formula>\r\n'
awk -v kept="$kept" '{ print } /<ComposerWindow / { printf "%s", kept }' "$settings" >"$profile"
grep -q '<Argument>-7</Argument>' "$profile" || { echo "no composer history written"; exit 1; }
export FIND="$E2E_HERE/findicon.py" PICTURES="$E2E_HERE/../../resources/pictures"
export BOOK="$work/recent.vln"
cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
start
keys Down Down Right Right
pointer_away
# The Formula Composer picture is the eighteenth of the standard bar; its arrow lies just
# right of it.
composer_button() { python3 "$FIND" "$WORK/frame.png" "$PICTURES/toolbar_267.png" 17 150 >/dev/null; }
shot_until "$wid" "$WORK/frame.png" composer_button || { echo "no Formula Composer button"; exit 1; }
set -- $(python3 "$FIND" "$WORK/frame.png" "$PICTURES/toolbar_267.png" 17 150)
click_in "$wid" $(($1 + 23)) $(($2 + 8))
poll 200 popup_shown || { echo "no list under the Formula Composer arrow"; exit 1; }
keys Down Down Return
title_is '\*'
# The composer pane may have shown itself beside the frame.
xdotool windowfocus "$wid"
wait_focus "$wid"
save_as "$BOOK"
quit
RUN
run run.sh
"$bookutil" dump "$BOOK" >"$work/dump.txt"
expected=$'C3\tformula\t=abs(2) -> 2.000000'
[ "$(cat "$work/dump.txt")" = "$expected" ] ||
  { echo "the worksheet holds:"; cat "$work/dump.txt"; exit 1; }
echo "a recent formula chosen from the list went into the active cell"
