#!/usr/bin/env bash
# The Paste button's drop-down list when it is full: with the copy level at 16, sixteen copies
# of A1 to A16 made by Ctrl+C, a click on the Paste arrow and the arrow keys choose the last
# item (the newest copy, A16) into C17 and the first (the oldest, A1) into C18; the saved file
# holds both.
# Usage: pastelist_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup
sed 's|<CopyLevel>[0-9]*</CopyLevel>|<CopyLevel>16</CopyLevel>|' "$settings" >"$profile"
grep -q '<CopyLevel>16</CopyLevel>' "$profile" ||
  { echo "no CopyLevel in $settings"; exit 1; }
"$bookutil" pages "$work/pages.vln"
export FIND="$E2E_HERE/findicon.py" PICTURES="$E2E_HERE/../../resources/pictures"
cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
start "$WORK/pages.vln"
title_is 'pages.vln'
# The cursor starts at A1.
for _ in $(seq 1 16); do keys ctrl+c Down; done
pointer_away
# The Paste picture is the eighth of the standard bar; its arrow lies just right of it.
paste_button() { python3 "$FIND" "$WORK/frame.png" "$PICTURES/toolbar_267.png" 7 150 >/dev/null; }
shot_until "$wid" "$WORK/frame.png" paste_button || { echo "no Paste button"; exit 1; }
set -- $(python3 "$FIND" "$WORK/frame.png" "$PICTURES/toolbar_267.png" 7 150)
arrow_x=$(($1 + 23)) arrow_y=$(($2 + 8))
# Opens the list and takes item N (1 for the first) with the arrow keys.
choose() {
  click_in "$wid" "$arrow_x" "$arrow_y"
  poll 200 popup_shown || { echo "no list under the Paste arrow"; exit 1; }
  for _ in $(seq 1 "$1"); do keys Down; done
  keys Return
  poll 200 no_popup || { echo "the Paste list stays open"; exit 1; }
}
keys Home Right Right
choose 16
keys Down
choose 1
title_is '\*'
save_as "$WORK/pasted.vln"
quit
RUN
run run.sh
"$bookutil" dump "$work/pasted.vln" >"$work/dump.txt"
# Nothing but the two pastes in column C.
expected=$'C17\tnumber\t16\nC18\tnumber\t1'
actual=$(grep '^C' "$work/dump.txt" || true)
[ "$actual" = "$expected" ] || { echo "column C holds:"; echo "$actual"; exit 1; }
echo "sixteen copies, the newest and the oldest pasted from the list: ok"
