# Shared by the frame's whole-program tests (tests/e2e/frame_*_test.sh): a
# private X server, the probe program with its log, and polling with deadlines.
# Sourced, not run.

set -euo pipefail

fail() { echo "FAIL: $*" >&2; show_logs; exit 1; }
note() { echo "-- $*" >&2; }

binary_dir=${ZINDLE_BINARY_DIR:?set by CTest to the build folder}
probe=$binary_dir/tests/frame_probe
grab_check=$binary_dir/tests/x11_grab_check
[ -x "$probe" ] || { echo "FAIL: no probe program at $probe" >&2; exit 1; }

work=$(mktemp -d /tmp/zindle-frame.XXXXXX)
server_pid=""
probe_pid=""

cleanup() {
  [ -n "$probe_pid" ] && kill -KILL "$probe_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap 'explain_exit $? "$BASH_COMMAND"; cleanup' EXIT

show_logs() {
  for log in "$work"/out.log "$work"/err.log; do
    [ -f "$log" ] || continue
    echo "--- $log (drawFrame lines left out)" >&2
    grep -v '^drawFrame$' "$log" | tail -n 40 >&2 || true
  done
}

source "$(dirname "${BASH_SOURCE[0]}")/x11_server.sh"

# start_probe [NAME=VALUE...]: runs the probe with those variables set, under
# the address-space cap probe_cap (in KB) if one is set.
probe_cap=unlimited
start_probe() {
  : >"$work/out.log"
  : >"$work/err.log"
  (
    ulimit -v "$probe_cap"
    exec env "$@" "$probe" >"$work/out.log" 2>"$work/err.log"
  ) &
  probe_pid=$!
}

probe_running() { [ -n "$probe_pid" ] && kill -0 "$probe_pid" 2>/dev/null; }

# logged LINE: the probe wrote exactly this line.
logged() { grep -qx -- "$1" "$work/out.log"; }
count_logged() { grep -cx -- "$1" "$work/out.log" || true; }
# logged_times N LINE: the probe wrote this line at least N times.
logged_times() { [ "$(count_logged "$2")" -ge "$1" ]; }
# line_of LINE: the number of the first line that says it, empty if none.
line_of() { grep -nx -m 1 -- "$1" "$work/out.log" | cut -d: -f1; }

# expect_logged SECONDS LINE
expect_logged() { wait_for "$1" logged "$2" || fail "no \"$2\" within $1 s"; }

# wait_exit SECONDS: waits for the probe to end and sets probe_exit to its exit
# code, or to "timeout". Not in a subshell: only this shell can wait for it.
probe_exit=""
wait_exit() {
  wait_child "$1" "$probe_pid"
  probe_exit=$child_exit
  [ "$probe_exit" = timeout ] || probe_pid=""
}

# expect_exit SECONDS CODE
expect_exit() {
  wait_exit "$1"
  [ "$probe_exit" = "$2" ] || fail "exit code $probe_exit, expected $2"
}

probe_window() { first_line xdotool search --name '^Zindle$' 2>/dev/null; }
has_probe_window() { [ -n "$(probe_window)" ]; }

# geometry WINDOW: "X Y WIDTH HEIGHT" on the screen.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
                           /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}
# placed WINDOW "X Y WIDTH HEIGHT": the window is there now.
placed() { [ "$(geometry "$1")" = "$2" ]; }

# screen_size: "WIDTHxHEIGHT" of the root window.
screen_size() { xdpyinfo | awk '/dimensions:/ && !seen++ { print $2 }'; }

# keyboard_grab: what a second client's attempt to grab the keyboard gets.
keyboard_grab() { "$grab_check" || true; }
keyboard_held() { [ "$(keyboard_grab)" = already-grabbed ]; }
keyboard_free() { [ "$(keyboard_grab)" = grabbed ]; }

# centre_colour: "r g b" (0-255) of the middle of the screen.
centre_colour() {
  local size
  size=$(screen_size)
  xwd -root -silent | convert xwd:- -format \
    "%[fx:int(255*p{${size%x*}/2,${size#*x}/2}.r)] %[fx:int(255*p{${size%x*}/2,${size#*x}/2}.g)] %[fx:int(255*p{${size%x*}/2,${size#*x}/2}.b)]" info:
}
