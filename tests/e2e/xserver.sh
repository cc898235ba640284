#!/usr/bin/env bash
# Runs a command under an X server of its own. Xvfb chooses a free display itself and names it
# through -displayfd only once it accepts connections, so two runs never share a display and
# the command never starts before the server listens (xvfb-run -a guesses the number from lock
# files and can hand over a display whose server is not there). The server never resets: by
# default it resets whenever its last client leaves, and a probe such as `xdotool search` that
# leaves while the program is still starting made the program's own connection fail. A server
# that does not answer is started again, twice at most. Its keys do not repeat by themselves:
# on a loaded machine a key held between a press and its release for longer than the repeat's
# delay would type twice. Usage: xserver.sh <command> [arguments...]
set -euo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is missing (tools/install-deps.sh)"; exit 1; }
command -v xdotool >/dev/null || { echo "xdotool is missing (tools/install-deps.sh)"; exit 1; }
tmp=$(mktemp -d)
xpid=""
stop_server() {
  if [ -n "$xpid" ]; then
    kill "$xpid" 2>/dev/null || true
    wait "$xpid" 2>/dev/null || true
    xpid=""
  fi
}
trap 'stop_server; rm -rf "$tmp"' EXIT
display=""
for attempt in 1 2 3; do
  : >"$tmp/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset -r 3>"$tmp/display" 2>>"$tmp/server.log" &
  xpid=$!
  for _ in $(seq 1 200); do
    grep -q '^[0-9][0-9]*$' "$tmp/display" && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.05
  done
  number=$(grep -o '^[0-9][0-9]*$' "$tmp/display" || true)
  if [ -n "$number" ] && DISPLAY=":$number" xdotool getdisplaygeometry >/dev/null 2>&1; then
    display=":$number"
    break
  fi
  echo "X server attempt $attempt did not answer" >>"$tmp/server.log"
  stop_server
done
[ -n "$display" ] || { echo "no X server could be started:"; cat "$tmp/server.log"; exit 1; }
rc=0
DISPLAY="$display" "$@" || rc=$?
exit "$rc"
