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
  # 77: the script found it cannot test what it is for here (skipped; out.log says why).
  if [ "$rc" -eq 77 ]; then cat "$work/out.log" 2>/dev/null; exit 77; fi
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
# The number of pixels in which the two pictures differ, or the error of the comparison. The
# same picture is taken as the same bytes: the files are compared first, and only files that
# differ are read as pictures (that costs far more on a loaded machine).
pixels_apart() {
  if cmp -s "$1" "$2"; then echo 0; else compare -metric AE "$1" "$2" null: 2>&1 || true; fi
}
# Checks that $work/before.png and $work/after.png are the same picture; when they differ, keeps
# both in a folder named after the given label and ends the test with the message given
# second, after the count of pixels.
same_pictures() {
  local differ
  differ=$(pixels_apart "$work/before.png" "$work/after.png")
  if [ "$differ" != "0" ]; then
    compare "$work/before.png" "$work/after.png" "$work/diff.png" 2>/dev/null || true
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

# Runs the command until it succeeds, every tenth of a second and at most the given number
# of tenths; false when it never did. Every wait of the scripts is one of these, for the
# state the next step needs: it costs nothing when the state comes at once, and its bound is
# generous for a loaded machine.
poll() {
  local tenths=$1 i
  shift
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}
# True when the window has the keyboard.
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null || true)" = "$1" ]; }
# Waits until the window has the keyboard; the second argument is the number of tenths of a
# second to wait (20 seconds when left out).
wait_focus() {
  poll "${2:-200}" has_focus "$1" && return 0
  echo "window $1 never took the keyboard (it went to $(xdotool getwindowfocus 2>&1))"; exit 1
}
# True while a shown window's name matches the pattern, and while none does.
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
not_shown() { ! shown "$1"; }
# Waits until no shown window's name matches the pattern; the second argument is the number
# of tenths of a second to wait (10 seconds when left out).
wait_gone() {
  poll "${2:-100}" not_shown "$1" && return 0
  echo "the window '$1' stays"; exit 1
}
# True when the pointer stands at the point of the screen.
pointer_at() { [ "$(xdotool getmouselocation --shell | head -n 2 | tr '\n' ' ')" = "X=$1 Y=$2 " ]; }
# Moves the pointer to the point of the screen and waits until it stands there: a move to
# where it already stands makes no motion event, so none is waited for.
pointer_to() {
  xdotool mousemove "$1" "$2"
  poll 100 pointer_at "$1" "$2" || { echo "the pointer did not reach $1,$2"; exit 1; }
}
# Moves the pointer to the point inside the window (its top-left corner 0 0) and waits until
# it stands there.
pointer_in() {
  window_place "$1"
  pointer_to $((X + $2)) $((Y + $3))
}
# Moves the pointer to the point inside the window and clicks. A pointer already there steps
# aside first: the move between makes a second click on one spot a click of its own, not the
# second half of a double click.
click_in() {
  window_place "$1"
  if pointer_at $((X + $2)) $((Y + $3)); then pointer_to $((X + $2 + 20)) $((Y + $3)); fi
  pointer_to $((X + $2)) $((Y + $3))
  xdotool click 1
}
# The pointer out of the way of the bars, so that no button shows as hovered in a picture.
pointer_away() { pointer_to 5 790; }
# Saves the window's picture in the file once the program has drawn all it had to: the same
# picture three times in a row, a fifth of a second apart (within 30 seconds). A third argument
# lets that many pixels differ and still count as the same (a blinking caret).
settled_shot() {
  local i same=0 diff tolerance=${3:-0}
  import -window "$1" "$2"
  for ((i = 0; i < 150 && same < 2; i++)); do
    sleep 0.2
    import -window "$1" "$2.next.png"
    diff=$(pixels_apart "$2" "$2.next.png")
    if [[ "$diff" =~ ^[0-9]+$ ]] && [ "$diff" -le "$tolerance" ]; then
      same=$((same + 1))
    else
      same=0
      mv "$2.next.png" "$2"
    fi
  done
  rm -f "$2.next.png"
  [ "$same" -ge 2 ] || { echo "the picture of window $1 never settled"; exit 1; }
}
# As settled_shot, for a window where a text caret blinks.
settled_but_caret() { settled_shot "$1" "$2" 40; }
# Takes the window's picture into the file until the picture stands still (the same twice in
# a row) and the check, a command with its arguments, passes on it; within 30 seconds. False
# when it never does: the caller says what was missing.
shot_until() {
  local window=$1 file=$2 i
  shift 2
  import -window "$window" "$file"
  for ((i = 0; i < 150; i++)); do
    sleep 0.1
    import -window "$window" "$file.next.png"
    if [ "$(pixels_apart "$file" "$file.next.png")" = 0 ] && "$@"; then
      rm -f "$file.next.png"
      return 0
    fi
    mv "$file.next.png" "$file"
  done
  rm -f "$file.next.png"
  return 1
}
# True when the server has the window at the size.
sized() {
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$1")
  grep -qx "WIDTH=$2" <<<"$geometry" && grep -qx "HEIGHT=$3" <<<"$geometry"
}
# Resizes the window and waits until the server has it at that size.
resize_to() {
  xdotool windowsize "$1" "$2" "$3"
  poll 100 sized "$@" || { echo "window $1 did not take the size $2x$3"; exit 1; }
}
# Saves the window's picture in the file after a repaint of all of it: widened by one pixel
# and back, settled each time.
repainted_shot() {
  local w h
  w=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p')
  h=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^HEIGHT=//p')
  resize_to "$1" $((w + 1)) "$h"
  settled_shot "$1" "$2"
  resize_to "$1" "$w" "$h"
  settled_shot "$1" "$2"
}
# True when the clipboard holds the text; waits until it does.
clipboard_is() { [ "$(xclip -selection clipboard -o 2>/dev/null)" = "$1" ]; }
clipboard_holds() {
  poll 100 clipboard_is "$1" && return 0
  echo "the clipboard holds '$(xclip -selection clipboard -o 2>&1 | head -c 300)', not '$1'"; exit 1
}
# True when the window's title matches the pattern.
titled() { xdotool getwindowname "$wid" | grep -q -- "$1"; }

# Presses each given key in turn.
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; done; }

# True while the program shows a menu or a popup (a window of its own that no window manager
# places, named as the program) other than the windows given; sets $popup to it.
popup_shown() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    if [ "$w" != "$wid" ] && [[ " $* " != *" $w "* ]] && [ "$(xdotool getwindowname "$w")" = vorlane ] &&
      xwininfo -id "$w" | grep -q 'Override Redirect State: yes'; then
      popup=$w
      return 0
    fi
  done
  return 1
}
no_popup() { ! popup_shown; }
# Presses the first key, which opens a menu, waits for the menu (and sets $menu_popup to it)
# and presses the rest.
menu() {
  xdotool key --clearmodifiers "$1"
  poll 200 popup_shown || { echo "no menu after $1"; exit 1; }
  menu_popup=$popup
  shift
  keys "$@"
}
# Starts the program with the given arguments and waits for its frame, and for the keyboard:
# with no window manager the frame takes it itself. The frame is waited for 30 seconds, or
# $START_TENTHS tenths of a second where the command builds the program first.
start() {
  "$VORLANE" "$@" >>"$WORK/out.log" 2>&1 &
  pid=$!
  wid=""
  for _ in $(seq 1 "${START_TENTHS:-300}"); do
    wid=$(xdotool search --onlyvisible --name '^Vorlane 7\.3' 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "no frame"; cat "$WORK/out.log"; exit 1; }
  wait_focus "$wid"
}
# Waits until the frame's title matches the pattern; the second argument is the number of
# tenths of a second to wait (20 seconds when left out).
title_is() {
  poll "${2:-200}" titled "$1" && return 0
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
# The program's shown windows' ids, one a line (its menus too; not a window manager's frames).
shown_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | sort || true; }
# True when the program shows a window not among the given ids (one a line), not counting
# its menus, lists and tips (windows no window manager places); sets $found. A menu that
# opened the window can still show as the window comes.
window_beyond() {
  local w
  found=""
  for w in $(comm -13 <(printf '%s\n' "$1") <(shown_windows)); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: no' || continue
    found=$w
    return 0
  done
  return 1
}
# Waits (10 s at most) for a shown window of the program not among the given ids, sets $found
# to it; the second argument names it in the failure.
new_window() {
  poll 100 window_beyond "$1" && return 0
  echo "no new window: ${2:-}"; exit 1
}
# Waits (20 s at most) until the window holds the keyboard; the second argument names it in
# the failure, with the window that holds the keyboard instead.
focus_on() {
  poll 200 has_focus "$1" && return 0
  local now
  now=$(xdotool getwindowfocus 2>/dev/null || true)
  echo "the keyboard is not with $2 ($1) but with $now '$(xdotool getwindowname "$now" 2>/dev/null)'"
  exit 1
}
# True while the window is not among the program's shown windows.
window_hidden() { ! shown_windows | grep -qx "$1"; }
# Waits (20 s at most) until the window is no longer shown; the second argument names it.
gone() {
  poll 200 window_hidden "$1" && return 0
  echo "${2:-window $1} is still shown"; exit 1
}
# Waits for a shown window as wait_window does, and then for it to take the keyboard.
wait_dialog() {
  wait_window "$@"
  wait_focus "$found"
}
# Waits for a format page as wait_dialog does, then until the menu that opened it has gone,
# the page has drawn itself whole and has the keyboard still: the frame may take the
# keyboard back as the menu lets go of it, and the page takes it again.
wait_page() {
  wait_dialog "$@"
  poll 100 no_popup || { echo "the menu stays open over the page '$1'"; exit 1; }
  settled_shot "$found" "$WORK/page.png"
  wait_focus "$found"
}
# True when the two pictures differ.
differ() { [ "$(pixels_apart "$1" "$2")" != 0 ]; }
# Presses the keys and waits until the frame's picture has changed from the one before them
# and settled: a button pressed by its letter acts only once it has shown itself pressed.
keys_change_frame() {
  settled_shot "$wid" "$WORK/unchanged.png"
  keys "$@"
  shot_until "$wid" "$WORK/changed.png" differ "$WORK/unchanged.png" "$WORK/changed.png" ||
    { echo "the keys $* changed nothing in the window"; exit 1; }
}
# Clicks at the point inside the window and waits until the frame's picture has changed from
# the one before and settled: the keys that follow a click act on what it selected.
click_change_frame() {
  settled_shot "$wid" "$WORK/unclicked.png"
  click_in "$@"
  shot_until "$wid" "$WORK/clicked.png" differ "$WORK/unclicked.png" "$WORK/clicked.png" ||
    { echo "the click at $2,$3 changed nothing in the window"; exit 1; }
}
# True when the two pictures differ in more pixels than a blinking caret covers.
differ_beyond_caret() {
  local d
  d=$(pixels_apart "$1" "$2")
  [[ "$d" =~ ^[0-9]+$ ]] && [ "$d" -gt 40 ]
}
# As keys_change_frame, where a text caret blinks in the frame.
keys_change_frame_caret() {
  settled_but_caret "$wid" "$WORK/unchanged.png"
  keys "$@"
  shot_until "$wid" "$WORK/changed.png" differ_beyond_caret "$WORK/unchanged.png" \
    "$WORK/changed.png" || { echo "the keys $* changed nothing in the window"; exit 1; }
}
# Saves through the Save As dialog (F12) under the given path, and waits until the frame has
# the keyboard again: the title can change before the closed dialog has handed it back.
save_as() {
  xdotool key F12
  wait_dialog '^Save As' 600
  xdotool type --delay 20 "$1"
  xdotool key Return
  title_is "$1 - " 300
  wait_focus "$wid"
}
# Quits by the File menu's Exit and waits for the process to end.
quit() {
  poll 100 no_popup || { echo "a menu stays open before Exit"; exit 1; }
  wait_focus "$wid"
  menu alt+f x
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then echo "still running after Alt+F, x"; kill "$pid"; exit 1; fi
  wait "$pid"
}
# A command that ends a script under `set -e` names itself and its line: some (kill, xprop,
# xdotool) fail without a word, and the run would end with no clue.
e2e_failed_at() {
  case $- in *e*) echo "${3}:${2}: '${4}' failed (${1})" >&2 ;; esac
}
set -E
trap 'e2e_failed_at "$?" "$LINENO" "${BASH_SOURCE[0]:-$0}" "$BASH_COMMAND"' ERR
