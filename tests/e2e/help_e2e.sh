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
for letter in c s o; do
  sleep 0.3
  keys alt+h "$letter"
  wait_window '^Vorlane Help$'
  import -window "$found" "$WORK/help-$letter.png"
  # The window shows a document: far more than the few colours of an empty one.
  colours=$(identify -format %k "$WORK/help-$letter.png")
  [ "$colours" -gt 16 ] || { echo "help window after Alt+H, $letter shows $colours colours"; exit 1; }
  keys Escape
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name '^Vorlane Help$' >/dev/null 2>&1 || break
    sleep 0.1
  done
  if xdotool search --onlyvisible --name '^Vorlane Help$' >/dev/null 2>&1; then
    echo "Escape left the help window open"; exit 1
  fi
  echo "Alt+H, $letter opened the help window"
done
quit
DRIVE
run drive.sh
