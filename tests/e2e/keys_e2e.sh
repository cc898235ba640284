#!/usr/bin/env bash
# Keys of the window under a real X server, one case per run:
#   cut      =A1*10 typed into G1, Ctrl+X on A1:B2 (A1 bold), Ctrl+V at D5: the block moves as a
#            drag moves it, its values, its bold and the formulas reading it (G1 reads D5), and A1
#            is left plain (a 9 typed there afterwards is not bold);
#   replace  F3 opens the search bar, "apple" in its find box, Tab, "plum" in the replacement
#            box, a click on Replace All: every apple in the worksheet becomes a plum;
#   tab      Tab Tab with nothing typed, then typing: the text lands in the cell;
#   address  a click into the address box, C5 and Enter, then typing: the text lands in C5;
#   trail    300 characters pasted into B16, =1 typed into C16: the window's picture equals
#            the one a forced repaint of the whole window gives.
# The saved file is read back with the engine's reader.
# Usage: keys_e2e.sh <case> <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
case=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
command -v xclip >/dev/null || { echo "xclip is missing (tools/install-deps.sh)"; exit 1; }
e2e_setup "$settings"
export HERE="$E2E_HERE" BOOK="$work/keys.vln"
"$bookutil" clip "$work/source.vln"

cat >"$work/common.sh" <<'COMMON'
set -eu
. "$LIB"
# Clicks at the middle of the first edit field found in the window's picture between the
# given rows: whiteruns.py's arguments after the picture, then an offset from its right end
# (or "middle").
field_found() { field=$(python3 "$HERE/whiteruns.py" "$WORK/shot.png" "$@" | tail -n 1); [ -n "$field" ]; }
click_field() {
  shot_until "$wid" "$WORK/shot.png" field_found "$1" "$2" "$3" "$4" "$5" ||
    { echo "no edit field found ($*)"; exit 1; }
  local x1 x2 y
  read -r x1 x2 y <<<"$field"
  if [ "$6" = middle ]; then x=$(((x1 + x2) / 2)); else x=$((x2 + $6)); fi
  click_in "$wid" "$x" "$((y + 4))"
}
COMMON

case $case in
cut)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start "$WORK/source.vln"
title_is 'source.vln'
keys Right Right Right Right Right Right
xdotool type --delay 40 '=A1*10'
keys Return Home ctrl+Prior
keys shift+Right shift+Down ctrl+x Down Down Down Down Right Right Right ctrl+v
keys Home ctrl+Prior
xdotool type --delay 40 9
keys Return
save_as "$BOOK"
quit
RUN
  expected=$'A1\tnumber\t9\nG1\tformula\t=D5*10 -> 10.000000\nD5\tnumber\t1\tbold\nE5\tnumber\t2\nD6\tnumber\t3\nE6\tformula\t=D5+E5 -> 3.000000'
  ;;
replace)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start
for entry in apple pear 'apple pie'; do
  xdotool type --delay 40 "$entry"
  keys Down
done
keys F3
xdotool type --delay 40 apple
keys Tab
xdotool type --delay 40 plum
# Replace All stands right of the replacement box and its arrow.
click_field 120 200 2 40 200 70
# A click into the grid gives it the keys again (the workbook's keys work there).
eval "$(xdotool getwindowgeometry --shell "$wid")"
click_in "$wid" $((WIDTH / 2)) $((HEIGHT / 2))
save_as "$BOOK"
quit
RUN
  expected=$'A1\ttext\tplum\nA2\ttext\tpear\nA3\ttext\tplum pie'
  ;;
tab)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start
keys Tab Tab
xdotool type --delay 40 hello
keys Return Down shift+Tab
xdotool type --delay 40 42
keys Return
save_as "$BOOK"
quit
RUN
  expected=$'A1\ttext\thello\nA2\tnumber\t42'
  ;;
address)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start
# The address box: the long edit field of the address toolbar.
click_field 300 5000 1 30 120 middle
xdotool type --delay 40 C5
keys Return
xdotool type --delay 40 7
keys Return
save_as "$BOOK"
quit
RUN
  expected=$'C5\tnumber\t7'
  ;;
trail)
  cat >"$work/run.sh" <<'RUN'
. "$WORK/common.sh"
start
text=""
while [ "${#text}" -lt 300 ]; do text+="Pack my box with five dozen liquor jugs. "; done
printf '%s' "${text:0:300}" | xclip -selection clipboard -i
clipboard_holds "${text:0:300}"
keys Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Right ctrl+v
keys Right
xdotool type --delay 40 '=1'
keys Return
title_is '\*'
settled_shot "$wid" "$WORK/before.png"
repainted_shot "$wid" "$WORK/after.png"
save_as "$BOOK"
quit
RUN
  # The pasted text is checked by its start and length below.
  expected=$'B16\ttext\nC16\tformula\t=1 -> 1.000000'
  ;;
*)
  echo "unknown case $case"; exit 2
  ;;
esac

run run.sh
"$bookutil" dump "$BOOK" >"$work/dump.txt"
cp "$work/dump.txt" "$work/cells.txt"
if [ "$case" = trail ]; then
  pasted=$(awk -F'\t' '$1 == "B16" { print $3 }' "$work/dump.txt")
  case $pasted in
  "Pack my box with five dozen liquor jugs. Pack"*) ;;
  *) echo "trail: B16 holds '$pasted'"; exit 1 ;;
  esac
  [ "${#pasted}" -ge 299 ] || { echo "trail: B16 holds ${#pasted} characters"; exit 1; }
  awk -F'\t' 'BEGIN { OFS = "\t" } $1 == "B16" { NF = 2 } { print }' "$work/dump.txt" >"$work/cells.txt"
fi
if ! diff -u <(printf '%s\n' "$expected") "$work/cells.txt"; then
  echo "$case: the saved cells differ from what the keys should have made"
  exit 1
fi
[ "$case" != trail ] || same_pictures keys_e2e trail
echo "$case: ok"
