# Functions the end-to-end scripts share, sourced inside the X server's session. They read
# $VORLANE (the program), $WORK (a scratch folder with out.log) and set $pid and $wid.

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
  # No window manager runs under Xvfb: the frame gets the focus directly.
  xdotool windowfocus --sync "$wid"
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
  xdotool windowfocus --sync "$sid"
  sleep 0.3
  xdotool type --delay 20 "$1"
  xdotool key Return
  title_is "$1 - " 300
}
# Quits by the File menu's Exit and waits for the process to end.
quit() {
  xdotool windowfocus --sync "$wid"
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
