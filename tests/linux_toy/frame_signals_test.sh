#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end the program through its normal tear-down with
# exit code 0, also when they arrive during start-up: the close then waits in
# the queue behind a key pressed meanwhile, and no frame is drawn.
source "$(dirname "$0")/../support/shell/x11_session.sh"

start_xvfb 1024 768

for signal in TERM INT HUP; do
  start_probe
  expect_logged 60 drawFrame
  kill -s "$signal" "$probe_pid"
  expect_exit 30 0
  logged destroyScene || fail "no destroyScene after SIG$signal"
  note "SIG$signal: normal end"
done

hold="$work/hold"
start_probe ZINDLE_PROBE_HOLD_FILE="$hold"
expect_logged 60 "createScene holding"
# SDL takes the keyboard only once the loop runs; the X focus is the window's
# already, so a key pressed now is the window's.
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(probe_window)" ]; }
wait_for 30 focused || fail "the window was not given the focus during start-up"
xdotool key a
kill -s TERM "$probe_pid"
touch "$hold"
expect_exit 60 0
key_line=$(line_of "keyDown 65")
end_line=$(line_of destroyScene)
[ -n "$key_line" ] || fail "the key pressed during start-up was lost"
[ -n "$end_line" ] && [ "$key_line" -lt "$end_line" ] || fail "no destroyScene after the key"
[ "$key_line" -gt "$(line_of createScene)" ] || fail "the key arrived before createScene"
! logged drawFrame || fail "a frame was drawn after a close requested during start-up"
echo PASS
