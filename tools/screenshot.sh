#!/usr/bin/env bash
# Makes docs/screenshot.png: the program's main window under Xvfb, showing a workbook of its
# own (written by the engine through the end-to-end tests' book utility); and docs/dialogs/,
# a picture of every dialog.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
if [ ! -f "$root/build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$root/build" --target vorlane vorlane_bookutil vorlane_dialogshots >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Vorlane" "$root/docs"
cp "$root/tests/data/app/default-settings.xml" "$work/config/Vorlane/settings.xml"
"$root/build/tests/e2e/vorlane_bookutil" make "$work/Sales.vln"
export XDG_CONFIG_HOME="$work/config" HOME="$work" QT_QPA_PLATFORM=xcb
cat >"$work/shoot.sh" <<'SHOOT'
set -eu
"$VORLANE" "$WORK/Sales.vln" >"$WORK/out.log" 2>&1 &
pid=$!
wid=""
for _ in $(seq 1 300); do
  wid=$(xdotool search --name '^Vorlane 7\.3' 2>/dev/null | head -n 1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "no frame"; cat "$WORK/out.log"; exit 1; }
xdotool windowmove --sync "$wid" 0 0
xdotool windowsize --sync "$wid" 960 600
xdotool windowfocus --sync "$wid"
sleep 1
# The cursor comes back on the total; a selection grows from there with its highlight.
xdotool keydown shift
xdotool key Up Up Up Left
xdotool keyup shift
sleep 0.3
import -window "$wid" "$OUT"
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key --clearmodifiers x
wait "$pid" || true
SHOOT
WORK="$work" VORLANE="$root/build/vorlane" OUT="$root/docs/screenshot.png" \
  bash "$root/tests/e2e/xserver.sh" bash "$work/shoot.sh"
echo "wrote docs/screenshot.png"
# One picture per dialog, page and sub-page, on fixture data of the picture program.
QT_QPA_PLATFORM=xcb bash "$root/tests/e2e/xserver.sh" \
  "$root/build/vorlane_dialogshots" "$root/docs/dialogs"
echo "wrote docs/dialogs/*.png"
