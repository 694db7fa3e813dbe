#!/usr/bin/env bash
# When the X connection is lost, because the server ends or because the
# program is killed off it with xkill, the program ends at once with one line
# on stderr that says so and a non-zero exit code, while it plays and while
# its message box is up.
source "$(dirname "$0")/../support/shell/x11_session.sh"

# zindle_lines: what the program itself wrote on stderr (not its trace lines).
zindle_lines() { grep '^\(frame_probe\|zindle\|XIO\|  \)' "$work/err.log" || true; }

# expect_lost HOW: the program ended at once, non-zero, with the one line.
expect_lost() {
  wait_exit 30
  [ "$probe_exit" != timeout ] || fail "still running 30 s after $1"
  [ "$probe_exit" != 0 ] || fail "exit code 0 after $1"
  [ "$probe_exit" -lt 128 ] || fail "killed by signal $((probe_exit - 128)) after $1"
  local lines
  lines=$(zindle_lines)
  [ "$(wc -l <<<"$lines")" = 1 ] && [[ "$lines" == *"lost the connection to the X server"* ]] ||
    fail "after $1, expected one line about the lost connection, got: $lines"
  note "$1: exit $probe_exit, \"$lines\""
}

# The server ends while the program plays.
start_xvfb 1024 768
start_probe
expect_logged 60 drawFrame
stop_server
expect_lost "the server ended"

# xkill on the playing program's window.
start_xvfb 1024 768
start_probe
expect_logged 60 drawFrame
xkill -id "$(probe_window)" >/dev/null
expect_lost "xkill"
stop_server

# The server ends while the refused-mode box is up.
start_xvfb 1280 1024
start_probe
box_up() {
  local tree
  tree=$(xwininfo -root -tree) && [[ $tree == *'"Zindle": ("zindle" "Zindle")'* ]]
}
wait_for 60 box_up || fail "no message box"
stop_server
wait_exit 30
[ "$probe_exit" != timeout ] && [ "$probe_exit" != 0 ] && [ "$probe_exit" -lt 128 ] ||
  fail "exit $probe_exit when the server ended under the box"
grep -q "lost the connection to the X server" "$work/err.log" || fail "no line about the lost connection"
echo PASS
