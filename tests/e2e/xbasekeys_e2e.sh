#!/usr/bin/env bash
# The xBase save dialog and its field dialog by keys only. Alt+E opens the field dialog on the
# row chosen with Down; a name typed and Return sent straight after Alt+E, with no wait, land
# in the field dialog and close it. A length of 0 is refused and keeps the keyboard in the
# length field; the Up and Down arrows step the length and the decimals. Escape closes a field
# dialog and leaves the table dialog with the keys on the field list; Return there saves. The
# saved table holds what was typed. With "bare" no window manager runs, with "wm" one does.
# Usage: xbasekeys_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode"
"$bookutil" table "$work/book.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
start "$WORK/book.vln"
title_is "$WORK/book.vln - "
xdotool key F12
wait_dialog '^Save As$' 600
xdotool key --clearmodifiers alt+t
xdotool key Home Down Down Down
xdotool key --clearmodifiers alt+n
xdotool key ctrl+a
xdotool type --delay 20 "$WORK/out.dbf"
xdotool key Return
wait_dialog '^Save dBase III' 300
table=$found
# The second row, AMOUNT (Numeric 18, 2 decimals): its new name typed at once after Alt+E.
xdotool key --clearmodifiers Down alt+e
xdotool type --delay 0 ZZ
xdotool key --clearmodifiers Return
wait_gone '^xBase Field Definition$' 300
focus_on "$table" "the table dialog after the field dialog"
# Its length: 0 is refused and the keys stay in the field; 18 typed over it and stepped up
# three times by the Up arrow is 21, stored as the Numeric field's most, 20; the decimals
# stepped down by the Down arrow are 1.
xdotool key --clearmodifiers alt+e
wait_dialog '^xBase Field Definition$' 300
xdotool key --clearmodifiers alt+l ctrl+a 0 Return
xdotool type --delay 20 18
xdotool key --clearmodifiers Up Up Up alt+d Down Return
wait_gone '^xBase Field Definition$' 300
# Again: a name typed, then Escape: nothing changes. The keys are back on the field list, not
# on the Edit button that Alt+E reached, so Return saves instead of opening the field again.
xdotool key --clearmodifiers alt+e
wait_dialog '^xBase Field Definition$' 300
xdotool type --delay 20 WW
xdotool key --clearmodifiers Escape
wait_gone '^xBase Field Definition$' 300
focus_on "$table" "the table dialog after Escape"
xdotool key --clearmodifiers Return
title_is "$WORK/out.dbf - " 300
quit
RUN
run run.sh
# Name, type, length and decimals of each field of the saved table.
python3 - "$work/out.dbf" >"$work/fields.txt" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
for at in range(32, data.index(b"\r", 32), 32):
    d = data[at:at + 32]
    print(d[:11].split(b"\0")[0].decode(), chr(d[11]), d[16], d[17])
PY
expect_lines "$work/fields.txt" "NAME C 5 0" "ZZ N 20 1" "NOTE M 10 0"
echo "the field dialog took the keys typed at once after Alt+E; 0 refused; arrows stepped; 21 stored as 20"
