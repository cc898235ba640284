#!/usr/bin/env bash
# Copies a block between two workbooks of one program through the X clipboard, reads what it
# put there with xclip, pastes text put by xclip and a copy made by a second program, fills a
# series with F8, saves and checks the file with the engine's reader.
# Usage: clipboard_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
command -v xclip >/dev/null || { echo "xclip is missing (tools/install-deps.sh)"; exit 1; }
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
"$bookutil" clip "$work/source.vln"
cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
start "$WORK/source.vln"
title_is 'source.vln'
keys shift+Right shift+Down ctrl+c
copied() { xclip -selection clipboard -o >"$WORK/copied.txt" 2>/dev/null && printf '1\t2\r\n3\t3' | cmp -s - "$WORK/copied.txt"; }
poll 100 copied || { echo "copied text:"; od -c "$WORK/copied.txt"; exit 1; }
xclip -selection clipboard -t TARGETS -o | grep -qx 'application/x-vorlane-clipboard-format' ||
  { echo "no private type among:"; xclip -selection clipboard -t TARGETS -o; exit 1; }
keys ctrl+n
title_is 'New Workbook'
keys Right Right Down Down ctrl+v
title_is '\*'
# Text from another program: a lone LF ends the row.
keys Home Down Down Down Down Down Down Down
printf '5\t6\n7' | xclip -selection clipboard -i
clipboard_holds $'5\t6\n7'
keys ctrl+v
# A copy made by a second program pastes as its text.
first=$pid firstwid=$wid
"$VORLANE" >>"$WORK/out.log" 2>&1 &
second=$!
wid=""
for _ in $(seq 1 300); do
  wid=$(xdotool search --all --onlyvisible --pid "$second" --name '^Vorlane 7\.3' 2>/dev/null | head -n 1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "no second frame"; exit 1; }
wait_focus "$wid"
xdotool type --delay 40 42
keys Down Up ctrl+c
clipboard_holds 42
pid=$first wid=$firstwid
xdotool windowfocus "$wid"
wait_focus "$wid"
keys Down Down Down ctrl+v
# F8 over F1:F10 from 1 and 3.
keys Home ctrl+Prior Right Right Right Right Right
xdotool type --delay 40 1
keys Down
xdotool type --delay 40 3
keys Down Up Up
for _ in 1 2 3 4 5 6 7 8 9; do keys shift+Down; done
keys F8
save_as "$WORK/target.vln"
# The second program, whose copy was pasted, ends only now that the paste is saved.
kill "$second"
quit
RUN
run run.sh
expect_cells "$work/target.vln" $'C3\tnumber\t1\tbold' $'D3\tnumber\t2' $'C4\tnumber\t3' \
  $'D4\tformula\t=C3+D3 -> 3.000000' $'A10\tnumber\t5' $'B10\tnumber\t6' $'A11\tnumber\t7' \
  $'A13\tnumber\t42' $'F10\tnumber\t19'
if grep -q $'^B13\t\|^A14\t' "$work/dump.txt"; then
  echo "the second program's copy pasted more than its text:"; cat "$work/dump.txt"; exit 1
fi
echo "copied, pasted from the history, from xclip and from a second program, filled: ok"
