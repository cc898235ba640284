#!/usr/bin/env bash
# Replace All from the search bar and Fill series by keys, under a real X server, one case per
# run:
#   replace  A1 "Smith (London)", A2 1234.5789 in a cell formatted with thousands and one
#            decimal (shown 1,234.6), B3 1 and B4 2 with =B3:B4*3 spreading over A3:A4 (3, 6);
#            then Replace All of " (*)" with nothing, of "34" with "43" and of "6" with "9":
#            the star takes the whole "(London)", the number keeps the digits its format hides
#            (1243.5789) and the array's element is left to its formula;
#   fill     A1 2024-01-31T23:59:59.500, A2 2024-02-01T00:00:00.250, F8 over A1:A4: the step
#            of 750 milliseconds goes on across the seconds.
# The saved file is read back with the engine's reader.
# Usage: replacefill_e2e.sh <case> <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
case=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export HERE="$E2E_HERE" BOOK="$work/replacefill.vln"

cat >"$work/common.sh" <<'COMMON'
set -eu
. "$LIB"
# The find box and the replacement box of the search bar: the two edit fields of the row.
fields_found() { [ "$(python3 "$HERE/whiteruns.py" "$WORK/shot.png" 120 200 2 40 200 | wc -l)" -ge 2 ]; }
search_fields() {
  shot_until "$wid" "$WORK/shot.png" fields_found || { echo "no search fields found"; exit 1; }
  read -r fx1 fx2 fy <<<"$(python3 "$HERE/whiteruns.py" "$WORK/shot.png" 120 200 2 40 200 | head -n 1)"
  read -r rx1 rx2 ry <<<"$(python3 "$HERE/whiteruns.py" "$WORK/shot.png" 120 200 2 40 200 | tail -n 1)"
}
# Types the text into a box in place of what it held (nothing for an empty text).
retype() {
  click_in "$wid" "$1" "$2"
  keys End shift+Home BackSpace
  [ -z "$3" ] || xdotool type --delay 40 "$3"
}
# Replace All of the pattern with the replacement; Replace All stands right of the
# replacement box and its arrow. A click into the grid gives it the keys again.
replace_all() {
  search_fields
  retype $(((fx1 + fx2) / 2)) $((fy + 4)) "$1"
  retype $(((rx1 + rx2) / 2)) $((ry + 4)) "$2"
  click_in "$wid" $((rx2 + 70)) $((ry + 4))
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  click_in "$wid" $((WIDTH / 2)) $((HEIGHT / 2))
  keys ctrl+Home
}
COMMON

case $case in
replace)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start
xdotool type --delay 40 'Smith (London)'
keys Down
xdotool type --delay 40 '1,234.5'
keys Up Down
xdotool type --delay 40 '1,234.5789'
keys Down Right
xdotool type --delay 40 1
keys Down
xdotool type --delay 40 2
keys Up Left
xdotool type --delay 40 '=B3:B4*3'
keys Return
keys F3
replace_all ' (*)' ''
replace_all '34' '43'
replace_all '6' '9'
save_as "$BOOK"
quit
RUN
  expected=$'A1\ttext\tSmith\nA2\tnumber\t1243.5789\nA3\tformula\t=B3:B4*3 -> 3.000000\nB3\tnumber\t1\nA4\tnumber\t6\nB4\tnumber\t2'
  ;;
fill)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start
xdotool type --delay 40 '2024-01-31T23:59:59.500'
keys Down
xdotool type --delay 40 '2024-02-01T00:00:00.250'
keys Up shift+Down shift+Down shift+Down F8
title_is '\*'
save_as "$BOOK"
quit
RUN
  expected=$'A1\ttext\t2024-01-31T23:59:59.500\nA2\ttext\t2024-02-01T00:00:00.250\nA3\ttext\t2024-02-01T00:00:01\nA4\ttext\t2024-02-01T00:00:01.750'
  ;;
*)
  echo "unknown case $case"; exit 2
  ;;
esac

run run.sh
"$bookutil" dump "$BOOK" >"$work/dump.txt"
if ! diff -u <(printf '%s\n' "$expected") "$work/dump.txt"; then
  echo "$case: the saved cells differ from what the keys should have made"
  exit 1
fi
echo "$case: ok"
