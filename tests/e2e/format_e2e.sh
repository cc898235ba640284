#!/usr/bin/env bash
# Formats by real keys under an X server: Ctrl+B on A1:B2, Row Height 40 on row 1 through the
# Format menu and its dialog, the status bar hidden from the View menu; saves and quits, reads
# the file back with the engine, and starts again to see that the status bar stays hidden.
# Usage: format_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/formatted.vln"
cat >"$work/first.sh" <<'FIRST'
set -eu
. "$LIB"
start
title_is 'New Workbook - \\Worksheet1'
# A1 a, A2 c; B1 b, B2 d; then A1:B2 selected and made bold.
for entry in a c; do xdotool type --delay 40 "$entry"; xdotool key Down; done
xdotool key Up Up Right
for entry in b d; do xdotool type --delay 40 "$entry"; xdotool key Down; done
xdotool key Up Up Left shift+Right shift+Down
xdotool key ctrl+b
# Row Height of row 1 from the Format menu, typed into its dialog.
xdotool key Up Left
menu alt+o r
wait_dialog '^Change Width/Height'
xdotool key ctrl+a
xdotool type --delay 40 "40"
xdotool key Return
wait_gone '^Change Width/Height'
wait_focus "$wid"
# The status bar hidden from the View menu.
menu alt+v b
poll 100 no_popup || { echo "the View menu stays open"; exit 1; }
save_as "$BOOK"
quit
FIRST
cat >"$work/second.sh" <<'SECOND'
set -eu
. "$LIB"
start "$BOOK"
title_is "$BOOK - "
quit
SECOND
run first.sh
expect_cells "$BOOK" $'A1\ttext\ta\tbold' $'B1\ttext\tb\tbold' $'A2\ttext\tc\tbold' $'B2\ttext\td\tbold' \
  $'row 1\tcustom\t40'
grep -q '<Statusbar Visible="No"/>' "$profile" ||
  { echo "the status bar is not remembered hidden"; grep -i statusbar "$profile"; exit 1; }
run second.sh
grep -q '<Statusbar Visible="No"/>' "$profile" ||
  { echo "the next start showed the status bar"; exit 1; }
echo "bold A1:B2, row 1 at 40 pixels and the status bar hidden, kept over a restart"
