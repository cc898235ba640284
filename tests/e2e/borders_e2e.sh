#!/usr/bin/env bash
# The cell page's border buttons by real keys under an X server: Around Selection on E2:F4
# draws the outline only, each side on the cells along it; Around Cell on B2:C4 borders every
# cell of it, inner edges too. Saves and quits, then reads the file back with the engine.
# Usage: borders_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/borders.vln"
cat >"$work/first.sh" <<'FIRST'
set -eu
. "$LIB"
start
title_is 'New Workbook - \\Worksheet1'
# Two columns of three numbers: B2:C4 and E2:F4, the cursor back on the first cell of each.
column() { for entry in "$@"; do xdotool type --delay 40 "$entry"; xdotool key Down; done; xdotool key Up Up Up; }
xdotool key Right Down
column 1 2 3; xdotool key Right
column 4 5 6; xdotool key Right Right
column 7 8 9; xdotool key Right
column 10 11 12
# E2:F4 selected (the cursor stands on F2), the cell page opened from the Format menu, and
# Around Selection pressed.
xdotool key Left shift+Right shift+Down shift+Down
menu alt+o c
wait_page '^Cell$'
page=$found
# Alt+S is the frame's Settings menu even while the page has the focus: the button is
# clicked instead (157, 145 inside the page with the default layout).
click_in "$page" 157 145
# A press outside the page gives the frame the keyboard and goes no further; a second one on
# B2 (column B starts 208 pixels in, row 2 at 118 with the default layout) closes the page and
# selects that cell, which the keys after it wait for. B2:C4 selected, the page opened again,
# and Around Cell by its mnemonic.
click_in "$wid" 244 127
wait_focus "$wid"
click_change_frame "$wid" 244 127
wait_gone '^Cell$'
xdotool key shift+Right shift+Down shift+Down
menu alt+o c
wait_page '^Cell$'
keys_change_frame alt+a
# Escape closes the page, and the keyboard goes back to the window.
xdotool key Escape
wait_gone '^Cell$'
wait_focus "$wid"
save_as "$BOOK"
quit
FIRST
run first.sh
# Around Cell: all four sides (15) on every cell; Around Selection: top 1, bottom 2, left 4,
# right 8 on the cells along each side only.
expected=(
  $'B2\tnumber\t1\tsides 15' $'B3\tnumber\t2\tsides 15' $'B4\tnumber\t3\tsides 15'
  $'C2\tnumber\t4\tsides 15' $'C3\tnumber\t5\tsides 15' $'C4\tnumber\t6\tsides 15'
  $'E2\tnumber\t7\tsides 5' $'E3\tnumber\t8\tsides 4' $'E4\tnumber\t9\tsides 6'
  $'F2\tnumber\t10\tsides 9' $'F3\tnumber\t11\tsides 8' $'F4\tnumber\t12\tsides 10'
)
expect_cells "$BOOK" "${expected[@]}"
echo "Around Cell bordered all six cells, Around Selection outlined the other six"
