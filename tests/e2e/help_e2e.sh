#!/usr/bin/env bash
# The Help menu by keys: Contents, Support and Online Help (the build names no online
# address) each open the program's help window, and Escape closes it again.
# Usage: help_e2e.sh <default-settings.xml> <program>
set -euo pipefail
settings=$1
vorlane=$2
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
cat >"$work/drive.sh" <<'DRIVE'
set -u
. "$LIB"
start
# The window shows a document: far more than the few colours of an empty one.
document() { [ "$(identify -format %k "$WORK/help-$letter.png")" -gt 16 ]; }
for letter in c s o; do
  wait_focus "$wid"
  menu alt+h "$letter"
  wait_dialog '^Vorlane Help$'
  shot_until "$found" "$WORK/help-$letter.png" document ||
    { echo "help window after Alt+H, $letter shows $(identify -format %k "$WORK/help-$letter.png") colours"; exit 1; }
  keys Escape
  poll 200 not_shown '^Vorlane Help$' || { echo "Escape left the help window open"; exit 1; }
  echo "Alt+H, $letter opened the help window"
done
quit
DRIVE
run drive.sh
