#!/usr/bin/env bash
# Starts the program under a real X server with a settings folder of its own, checks the
# frame's title, quits by real keys (Alt+F, then x for Exit) and checks that the profile
# was written back. Usage: shell_e2e.sh <default-settings.xml> <command> [arguments...]
set -euo pipefail
settings=$1
shift
xserver="$(dirname "$0")/xserver.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Vorlane"
# An element the reader skips and the writer never writes: its absence shows the rewrite.
sed 's|</Profile>|\t<Image>marker.png</Image>\r\n</Profile>|' "$settings" >"$work/config/Vorlane/settings.xml"
grep -q marker.png "$work/config/Vorlane/settings.xml"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb HOME="$work"
cat >"$work/drive.sh" <<'DRIVE'
set -u
. "$LIB"
VORLANE=$1
shift
start "$@"
echo "title: $(xdotool getwindowname "$wid")"
quit
DRIVE
rc=0
WORK="$work" LIB="$(cd "$(dirname "$0")" && pwd)/e2elib.sh" bash "$xserver" bash "$work/drive.sh" "$@" ||
  rc=$?
if [ "$rc" -ne 0 ]; then
  echo "exit code $rc"; cat "$work/out.log" 2>/dev/null; exit 1
fi
profile="$work/config/Vorlane/settings.xml"
grep -q '<Profile MD5=""' "$profile" || { echo "profile not written"; exit 1; }
if grep -q marker.png "$profile"; then echo "profile not rewritten"; exit 1; fi
echo "quit with 0 and wrote $profile"
