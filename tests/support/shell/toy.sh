# shellcheck shell=bash
# What every whole-program test does, whichever program it starts and on
# whichever system: a scratch folder that goes at the end, failing with a
# reason and the logs, polling with deadlines, and the program under test:
# started, its window and message box found, its exit awaited. Sourced first
# by the per-system layers (tests/linux_toy/toy_lib.sh and
# tests/support/shell/x11_session.sh on Linux, tests/linux_toy/wayland_lib.sh under
# Wayland, tests/windows_toy/win32_lib.sh under Wine), never run. Nothing here
# starts anything when sourced: a layer that first moves the test into private
# namespaces (which runs the script again) calls make_work after that.

# Sourced once, whichever layers source it.
[ -z "${zindle_toy_sh:-}" ] || return 0
zindle_toy_sh=1

set -euo pipefail

# The program under test plays its sound on SDL's dummy device, which opens
# at once and goes nowhere: a test never reaches the machine's own sound
# server or speakers, and on a machine with no sound at all the toy has no
# "no sound" line to print among the lines the tests read. The sound tests
# choose their own device (tests/support/shell/sound_session.sh).
export SDL_AUDIODRIVER=dummy

# The layer names the program and its two logs (file names inside $work).
program_name="the program"
program_out=out.log
program_err=err.log

note() { echo "-- $*" >&2; }

# show_logs: the last lines of each log in the scratch folder, after a
# failure. A layer with logs of its own to show or leave out redefines it.
show_logs() {
  [ -n "${work:-}" ] || return 0
  local log
  for log in "$work"/*.log; do
    [ -s "$log" ] || continue
    echo "--- $(basename "$log")" >&2
    tail -n 20 "$log" >&2
  done
  return 0
}

# fail REASON: ends the test as failed, saying why and showing the logs.
fail() {
  echo "FAIL: $*" >&2
  show_logs
  exit 1
}

# explain_exit STATUS COMMAND: first in the EXIT trap. A command that fails
# outside a condition ends the test through set -e without a word; this names
# it, where the test's own ends (fail, a skip, PASS) say why themselves.
explain_exit() {
  [ "$1" = 0 ] || [[ $2 == exit* ]] || echo "FAIL: set -e ended the test (exit code $1) at: $2" >&2
}

# at_exit COMMAND...: run when the test ends, however it ends; the last one
# registered runs first, after the program under test is stopped and before
# the scratch folder goes.
exit_hooks=()
at_exit() { exit_hooks+=("$(printf '%q ' "$@")"); }

end_test() {
  stop_program
  local i
  for ((i = ${#exit_hooks[@]} - 1; i >= 0; i--)); do
    eval "${exit_hooks[i]}" 2>/dev/null || true
  done
  [ -z "${work:-}" ] || rm -rf "$work"
}

# make_work [TEMPLATE]: the test's scratch folder, in work (mktemp -d with the
# template, if given), removed with everything else the test started when the
# test ends.
work=""
make_work() {
  work=$(mktemp -d "$@")
  trap 'explain_exit $? "$BASH_COMMAND"; end_test' EXIT
}

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# wait_child SECONDS PID: waits for a child of this shell to end and sets
# child_exit to its exit code, or to "timeout". Not in a subshell: only this
# shell can wait for its child.
child_exit=""
wait_child() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$2" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      child_exit=timeout
      return
    fi
    sleep 0.1
  done
  child_exit=0
  # The shell's own note on a crashed child goes nowhere; the code tells it.
  { wait "$2"; } 2>/dev/null || child_exit=$?
}

# first_line COMMAND...: the first line the command writes, and its exit
# status. It reads all of the output: a reader that stops at the first line
# (head) kills a writer that is still writing, and under pipefail the pipeline
# then fails now and then, more often the busier the machine.
first_line() {
  local out
  out=$("$@") || return
  [ -z "$out" ] || echo "${out%%$'\n'*}"
}

# The program under test, one at a time: program_pid is its process while it
# may run, empty once it ended; exit_code is how it ended ("timeout" if it did
# not in time); started_at when it started ($EPOCHREALTIME).
program_pid=""
exit_code=""
started_at=""

# launch_program [-C FOLDER] [-v KB] COMMAND...: starts the program under
# test in the background, in FOLDER, under the address-space cap KB (ulimit
# -v), its output in $work/$program_out and $work/$program_err. Both are
# emptied first, so that a check polling them never reads an earlier run's
# lines.
launch_program() {
  local folder=. cap=unlimited
  while [ $# -gt 0 ]; do
    case $1 in
      -C) folder=$2 ;;
      -v) cap=$2 ;;
      *) break ;;
    esac
    shift 2
  done
  [ $# -gt 0 ] || fail "launch_program: no command"
  : >"$work/$program_out"
  : >"$work/$program_err"
  started_at=$EPOCHREALTIME
  (cd "$folder" && ulimit -v "$cap" && exec "$@" >"$work/$program_out" 2>"$work/$program_err") &
  program_pid=$!
}

program_running() { [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; }

# seconds_since_start: how long ago the program was started, to a tenth.
seconds_since_start() { awk -v from="$started_at" -v to="$EPOCHREALTIME" 'BEGIN { printf "%.1f", to - from }'; }

# stop_program: kills the program under test if it still runs, stopped or not.
stop_program() {
  [ -n "$program_pid" ] || return 0
  kill -CONT "$program_pid" 2>/dev/null || true
  kill -KILL "$program_pid" 2>/dev/null || true
  # Reaped here, so that the shell has no note of the killing to print.
  { wait "$program_pid"; } 2>/dev/null || true
  program_pid=""
}

# wait_exit SECONDS: waits for the program to end and sets exit_code. Not for
# $(...): only this shell can wait for its child.
wait_exit() {
  wait_child "$1" "$program_pid"
  exit_code=$child_exit
  [ "$exit_code" = timeout ] || program_pid=""
}

# expect_exit SECONDS CODE: the program ends within SECONDS with that code.
expect_exit() {
  wait_exit "$1"
  [ "$exit_code" = "$2" ] || fail "$program_name ended with $exit_code, expected $2"
}

# The caption of the toy's windows and of its message box.
caption=Zindle

# toy_window: the X window titled Zindle, empty if there is none.
toy_window() { first_line xdotool search --name "^$caption\$" 2>/dev/null; }
has_toy_window() { [ -n "$(toy_window)" ]; }

# box_window [PATTERN]: the first X window in the window tree whose line
# matches PATTERN (an awk regex), by default box_pattern: any window captioned
# "Zindle". Empty if there is none. The message box shows before the toy's own
# window, under the same caption; a test that must tell it from another window
# of that caption sets box_pattern to name its class too, as in
# '"Zindle": \("zindle" "Zindle"\)'.
box_pattern="\"$caption\""
box_window() {
  local tree
  tree=$(xwininfo -root -tree 2>/dev/null) || return 0
  # Through the environment: awk -v would take the pattern's backslashes.
  pattern=${1:-$box_pattern} awk '$0 ~ ENVIRON["pattern"] && !seen++ { print $1 }' <<<"$tree"
}
has_box() { [ -n "$(box_window "$@")" ]; }

# expect_box SECONDS [PATTERN]: waits for the message box; sets box to it.
box=""
expect_box() {
  wait_for "$1" has_box "${@:2}" || fail "no message box within $1 s"
  # shellcheck disable=SC2034 # for the tests
  box=$(box_window "${@:2}")
}
