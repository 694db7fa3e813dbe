# shellcheck shell=bash
# The Linux layer of the frame's whole-program tests (tests/linux_toy/frame_*,
# desktop_* and some robust_* tests): a private X server and the probe
# program with its log. On top of tests/support/shell/toy.sh (fail, polling, the
# program under test). Sourced, not run.

# shellcheck source=tests/support/shell/toy.sh
source "$(dirname "${BASH_SOURCE[0]}")/toy.sh"

binary_dir=${ZINDLE_BINARY_DIR:?set by CTest to the build folder}
probe=$binary_dir/tests/frame_probe
grab_check=$binary_dir/tests/x11_grab_check
[ -x "$probe" ] || { echo "FAIL: no probe program at $probe" >&2; exit 1; }

program_name="the probe"
# The tests call the program under test the probe.
# shellcheck disable=SC2034 # names for the tests
declare -n probe_pid=program_pid probe_exit=exit_code

show_logs() {
  local log
  for log in "$work"/out.log "$work"/err.log; do
    [ -f "$log" ] || continue
    echo "--- $log (drawFrame lines left out)" >&2
    grep -v '^drawFrame$' "$log" | tail -n 40 >&2 || true
  done
}

make_work /tmp/zindle-frame.XXXXXX
# shellcheck source=tests/support/shell/x11_server.sh
source "$(dirname "${BASH_SOURCE[0]}")/x11_server.sh"
at_exit stop_server

# start_probe [NAME=VALUE...]: runs the probe with those variables set, under
# the address-space cap probe_cap (in KB) if one is set.
probe_cap=unlimited
start_probe() { launch_program -v "$probe_cap" env "$@" "$probe"; }

probe_running() { program_running; }

# logged LINE: the probe wrote exactly this line.
logged() { grep -qx -- "$1" "$work/out.log"; }
count_logged() { grep -cx -- "$1" "$work/out.log" || true; }
# logged_times N LINE: the probe wrote this line at least N times.
logged_times() { [ "$(count_logged "$2")" -ge "$1" ]; }
# line_of LINE: the number of the first line that says it, empty if none.
line_of() { grep -nx -m 1 -- "$1" "$work/out.log" | cut -d: -f1; }

# expect_logged SECONDS LINE
expect_logged() { wait_for "$1" logged "$2" || fail "no \"$2\" within $1 s"; }

probe_window() { toy_window; }
has_probe_window() { has_toy_window; }

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
