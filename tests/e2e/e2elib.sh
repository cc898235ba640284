# Functions the end-to-end scripts share. The first group serves the test script itself,
# outside the X server: its scratch folder, the runs of its steps under a server of their own
# and the checks of what was saved. The rest is sourced inside the X server's session by each
# step; it reads $VORLANE (the program), $WORK (the scratch folder with out.log) and sets
# $pid and $wid.

E2E_HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# Makes the scratch folder $work (removed at exit) with the program's settings folder, whose
# profile path is $profile; copies the given default profile there when one is given. Points
# the program's configuration and home at the folder and exports what every step reads:
# WORK, LIB and VORLANE (from $vorlane, when the script has set it).
e2e_setup() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/config/Vorlane"
  profile="$work/config/Vorlane/settings.xml"
  if [ -n "${1:-}" ]; then cp "$1" "$profile"; fi
  export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb HOME="$work"
  export WORK="$work" LIB="$E2E_HERE/e2elib.sh" VORLANE="${vorlane:-}"
}
# Runs the step script of that name in $work, with any further arguments, under an X server
# of its own; when it fails, shows the program's output, copies the pictures it took into
# the folder $KEEP_SHOTS when that is set, and ends the test.
run() {
  local rc=0
  bash "$E2E_HERE/xserver.sh" bash "$work/$1" "${@:2}" || rc=$?
  if [ "$rc" -ne 0 ]; then
    echo "$1 failed ($rc)"; cat "$work/out.log" 2>/dev/null
    if [ -n "${KEEP_SHOTS:-}" ]; then cp "$work"/*.png "$KEEP_SHOTS"/ 2>/dev/null || true; fi
    exit 1
  fi
}
# Checks that the file holds each given line whole; shows the file when one is missing.
expect_lines() {
  local file=$1 line
  shift
  for line in "$@"; do
    grep -qxF -- "$line" "$file" || { echo "missing '$line' in:"; cat "$file"; exit 1; }
  done
}
# Dumps the cells of the workbook with the engine's reader ($bookutil) into $work/dump.txt
# and checks that it holds each given line.
expect_cells() {
  local book=$1
  shift
  "$bookutil" dump "$book" >"$work/dump.txt"
  expect_lines "$work/dump.txt" "$@"
}
# Checks that $work/before.png and $work/after.png are the same picture; when they differ, keeps
# both in a folder named after the given label and ends the test with the message given
# second, after the count of pixels.
same_pictures() {
  local differ
  differ=$(compare -metric AE "$work/before.png" "$work/after.png" "$work/diff.png" 2>&1 || true)
  if [ "$differ" != "0" ]; then
    local keep="${TMPDIR:-/tmp}/$1.$$"
    mkdir -p "$keep" && cp "$work"/*.png "$keep/"
    echo "$2: $differ pixels differ from a full repaint (pictures in $keep)"
    exit 1
  fi
}

# Ends the test as skipped (77) when the window manager the tests run under is not
# installed: tools/install-deps.sh brings it.
need_window_manager() {
  command -v openbox >/dev/null || { echo "openbox is missing (tools/install-deps.sh): skipped"; exit 77; }
}

# --- Inside the X server's session.

# Starts a window manager that gives every new window the keyboard, and waits until it
# manages the screen; it ends with the X server.
window_manager() {
  openbox >>"$WORK/wm.log" 2>&1 &
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "the window manager did not start"; cat "$WORK/wm.log"; exit 1
}
# The window's place on the screen, inside its frame, as X, Y, WIDTH and HEIGHT; under a
# window manager too, which puts it into a frame of its own.
window_place() {
  local info
  info=$(xwininfo -id "$1")
  X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  WIDTH=$(awk '/Width:/ {print $2}' <<<"$info")
  HEIGHT=$(awk '/Height:/ {print $2}' <<<"$info")
}

# Presses each given key in turn, with a short pause after each.
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.15; done; }

# Starts the program with the given arguments and waits for its frame.
start() {
  "$VORLANE" "$@" >>"$WORK/out.log" 2>&1 &
  pid=$!
  wid=""
  for _ in $(seq 1 300); do
    wid=$(xdotool search --onlyvisible --name '^Vorlane 7\.3' 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "no frame"; cat "$WORK/out.log"; exit 1; }
  # No window manager runs under Xvfb: the frame takes the keyboard itself.
  sleep 1
}
# Waits until the frame's title matches the pattern; the second argument is the number of
# tenths of a second to wait (5 seconds when left out).
title_is() {
  for _ in $(seq 1 "${2:-50}"); do
    xdotool getwindowname "$wid" | grep -q -- "$1" && return 0
    sleep 0.1
  done
  echo "title is '$(xdotool getwindowname "$wid")', expected '$1'"; exit 1
}
# Waits for a shown window whose name matches the pattern and sets $found to it; the second
# argument is the number of tenths of a second to wait (10 seconds when left out).
wait_window() {
  found=""
  for _ in $(seq 1 "${2:-100}"); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$found" ] && return 0
    sleep 0.1
  done
  echo "no window '$1'"; exit 1
}
# Saves through the Save As dialog (F12) under the given path.
save_as() {
  xdotool key F12
  local sid=""
  for _ in $(seq 1 600); do
    sid=$(xdotool search --onlyvisible --name '^Save As' 2>/dev/null | head -n 1 || true)
    [ -n "$sid" ] && break
    sleep 0.1
  done
  [ -n "$sid" ] || { echo "no Save As dialog"; exit 1; }
  sleep 0.3
  xdotool type --delay 20 "$1"
  xdotool key Return
  title_is "$1 - " 300
}
# Quits by the File menu's Exit and waits for the process to end.
quit() {
  sleep 0.3
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers x
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then echo "still running after Alt+F, x"; kill "$pid"; exit 1; fi
  wait "$pid"
}
