# Shared by the toy's whole-program tests: a private X server, screenshots and
# polling with deadlines. Sourced, not run.

set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/stderr.log" ] && { echo "--- the toy's standard error, last lines:" >&2; tail -n 20 "$work/stderr.log" >&2; }
  exit 1
}
note() { echo "-- $*" >&2; }

work=$(mktemp -d /tmp/zindle-e2e.XXXXXX)
server_pid=""
toy_pid=""

cleanup() {
  [ -n "$toy_pid" ] && kill -CONT "$toy_pid" 2>/dev/null || true
  [ -n "$toy_pid" ] && kill -KILL "$toy_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap 'explain_exit $? "$BASH_COMMAND"; cleanup' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/../support/x11_server.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/toy_screen.sh"

# start_x WIDTH HEIGHT: a private Xvfb on a free display; sets DISPLAY.
start_x() { start_xvfb "$@"; }

# start_toy FOLDER: runs the toy with FOLDER as its working directory, under
# the address-space cap toy_cap (ulimit -v, in KB).
toy_cap=unlimited
start_toy() {
  # Emptied before the start, so that a check polling the logs never reads an
  # earlier toy's lines while this one is still starting.
  : >"$work/stdout.log"
  : >"$work/stderr.log"
  (cd "$1" && ulimit -v "$toy_cap" && exec "$toy" >"$work/stdout.log" 2>"$work/stderr.log") &
  toy_pid=$!
}

toy_running() { kill -0 "$toy_pid" 2>/dev/null; }

# wait_exit SECONDS: waits for the toy to end and sets exit_code ("timeout"
# if it did not). Not for $(...): only this shell can wait for its child.
exit_code=""
wait_exit() {
  wait_child "$1" "$toy_pid"
  exit_code=$child_exit
  [ "$exit_code" = timeout ] || toy_pid=""
}

toy_window() { first_line xdotool search --name '^Zindle$' 2>/dev/null; }
has_toy_window() { [ -n "$(toy_window)" ]; }

toy=$(realpath "${1:?the toy program}")
binary_dir=${ZINDLE_BINARY_DIR:?}

# drawn: the scene is on screen (a cube at the middle of the grid).
drawn() { shot "$work/frame.png"; cube_at "$work/frame.png" 0 1; }

# start_playing FOLDER: starts the toy there and waits until its cubes show.
start_playing() {
  start_toy "$1"
  wait_for 60 has_toy_window || fail "no window: $(cat "$work/stderr.log")"
  wait_for 60 drawn || fail "the cubes never showed: $(cat "$work/stderr.log")"
}
