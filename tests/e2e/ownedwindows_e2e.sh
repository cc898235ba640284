#!/usr/bin/env bash
# Windows that a dialog opens take the keyboard as they show and give it back to that dialog
# when they close: the print sheet's message for a bad page list, Page Setup's messages for a
# bad first page number and for page rows 0 met on the way to another page (the keys go back to
# the field refused), its Font dialog closed by Escape and by OK; after Page Setup closes the
# grid takes the keys again. With "bare" no window manager runs, with "wm" one that activates
# new windows. Every step waits for the window that should hold the keyboard, never a fixed
# time.
# Page Setup's Font dialog closed by OK without a change leaves the header's font unset in the
# saved file.
# Usage: ownedwindows_e2e.sh bare|wm <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
mode=$1 settings=$2 vorlane=$3 bookutil=$4
. "$(dirname "$0")/e2elib.sh"
[ "$mode" = bare ] || need_window_manager
e2e_setup "$settings"
export MODE="$mode" BOOK="$work/owned.vln"

cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
[ "$MODE" = bare ] || window_manager
start
title_is 'New Workbook'
frame=$wid
focus_on "$frame" frame
# Ctrl+P, the page list "9-x" and Return: the print sheet's message takes the keyboard and
# gives it back to the sheet; Escape closes the sheet.
before=$(shown_windows)
xdotool key --clearmodifiers ctrl+p
new_window "$before"
sheet=$found
focus_on "$sheet" "the print sheet"
before=$(shown_windows)
# Alt+P reaches Properties... first, then Pages (the two share the letter); Tab the list.
xdotool key --clearmodifiers alt+p alt+p Tab 9 minus x Return
new_window "$before"
box=$found
focus_on "$box" "the message over the print sheet"
xdotool key --clearmodifiers Return
gone "$box"
focus_on "$sheet" "the print sheet after its message"
xdotool key --clearmodifiers Escape
gone "$sheet"
focus_on "$frame" "the frame after the print sheet"
# File > Page Setup: the sheet holds the keyboard.
before=$(shown_windows)
xdotool key --clearmodifiers alt+f u
new_window "$before"
sheet=$found
focus_on "$sheet" "Page Setup"
# Content page, first page number 0: the message takes the keyboard, Return closes it and
# the sheet has it again.
before=$(shown_windows)
xdotool key --clearmodifiers ctrl+Tab alt+b ctrl+a 0 Return
new_window "$before"
box=$found
focus_on "$box" "the message over Page Setup"
xdotool key --clearmodifiers Return
gone "$box"
focus_on "$sheet" "Page Setup after its message"
# Layout page, Font...: the Font dialog takes the keyboard; Escape gives it back; the same
# after OK without a change.
xdotool key --clearmodifiers ctrl+a 1 ctrl+shift+Tab
for close in Escape Return; do
  before=$(shown_windows)
  xdotool key --clearmodifiers alt+n
  new_window "$before"
  font=$found
  focus_on "$font" "the Font dialog"
  xdotool key --clearmodifiers "$close"
  gone "$font"
  focus_on "$sheet" "Page Setup after the Font dialog's $close"
done
# Page rows 0, then Ctrl+Tab: the message about them takes the keyboard; once it closes, the
# keys are in the rows field again, not on the tabs, so 2 typed there makes Return Page
# Setup's OK, which closes it. The grid then takes what is typed and Ctrl+Z undoes it.
xdotool key --clearmodifiers alt+g ctrl+a 0
before=$(shown_windows)
xdotool key --clearmodifiers ctrl+Tab
new_window "$before"
box=$found
focus_on "$box" "the message for page rows 0"
xdotool key --clearmodifiers Return
gone "$box"
focus_on "$sheet" "Page Setup after the message for page rows 0"
xdotool key --clearmodifiers BackSpace 2 Return
gone "$sheet" "Page Setup after page rows 2 and Return"
focus_on "$frame" "the frame after Page Setup"
xdotool type --delay 30 'Budget'
xdotool key --clearmodifiers Down Up ctrl+z
# Page Setup again: the Font dialog's OK without a change, then Page Setup's own OK (Return
# in the header's field).
before=$(shown_windows)
xdotool key --clearmodifiers alt+f u
new_window "$before"
sheet=$found
focus_on "$sheet" "Page Setup"
before=$(shown_windows)
xdotool key --clearmodifiers alt+n
new_window "$before"
font=$found
focus_on "$font" "the Font dialog"
xdotool key --clearmodifiers Return
gone "$font"
focus_on "$sheet" "Page Setup after the Font dialog's OK"
xdotool key --clearmodifiers alt+h Return
gone "$sheet"
focus_on "$frame" "the frame after Page Setup's OK"
xdotool type --delay 30 'kept'
xdotool key --clearmodifiers Down F12
wait_window '^Save As'
focus_on "$found" "Save As"
xdotool type --delay 20 "$BOOK"
xdotool key --clearmodifiers Return
title_is "$BOOK - " 300
kill "$pid"
RUN


run run.sh
# Budget was undone; the header's font stays unset.
expect_cells "$BOOK" $'A1\ttext\tkept'
[ "$(wc -l <"$work/dump.txt")" -eq 1 ] || { echo "cells besides A1:"; cat "$work/dump.txt"; exit 1; }
font=$("$bookutil" headerfont "$BOOK")
[ "$font" = "face '' size 0 weight 0 italic 0" ] || { echo "header font stored: $font"; exit 1; }
echo "owned windows ($mode): each took the keyboard and gave it back"
