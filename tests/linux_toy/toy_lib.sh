# shellcheck shell=bash
# The Linux layer of the toy's whole-program tests (tests/linux_toy/toy_*,
# robust_*, ...): the toy given as the test's first argument, started on a
# private X server, and what the tests read off the screen. On top of
# tests/support/shell/toy.sh (fail, polling, the program under test). Sourced, not
# run.

# shellcheck source=tests/support/shell/toy.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell/toy.sh"
# shellcheck source=tests/support/shell/x11_server.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell/x11_server.sh"
# shellcheck source=tests/support/shell/toy_screen.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell/toy_screen.sh"

program_name="the toy"
program_out=stdout.log
program_err=stderr.log
# The tests call the program under test the toy.
# shellcheck disable=SC2034 # a name for the tests
declare -n toy_pid=program_pid

show_logs() {
  [ -s "$work/stderr.log" ] || return 0
  echo "--- the toy's standard error, last lines:" >&2
  tail -n 20 "$work/stderr.log" >&2
}

make_work /tmp/zindle-linux-toy.XXXXXX
at_exit stop_server

toy=$(realpath "${1:?the toy program}")
# shellcheck disable=SC2034 # for the tests: where the build lies
binary_dir=${ZINDLE_BINARY_DIR:?}

# start_x WIDTH HEIGHT: a private Xvfb on a free display; sets DISPLAY.
start_x() { start_xvfb "$@"; }

# start_toy FOLDER: runs the toy with FOLDER as its working directory, under
# the address-space cap toy_cap (ulimit -v, in KB).
toy_cap=unlimited
start_toy() { launch_program -C "$1" -v "$toy_cap" "$toy"; }

toy_running() { program_running; }

# start_playing FOLDER: starts the toy there and waits until its cubes show.
start_playing() {
  start_toy "$1"
  wait_for 60 has_toy_window || fail "no window: $(cat "$work/stderr.log")"
  wait_for 60 drawn || fail "the cubes never showed: $(cat "$work/stderr.log")"
}
