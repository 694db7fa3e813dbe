#!/usr/bin/env bash
# SIGINT, SIGTERM and SIGHUP end the program at once with exit code 0 while it
# waits for a display that accepts the connection and never answers (nothing
# exists yet that needs tearing down), and it writes nothing meanwhile. Later
# steps of start-up are covered where they are built: the message box in
# frame_box_test, the window and the scene in robust_signals_test.
source "$(dirname "$0")/../support/x11_session.sh"
probe_cap=$(memory_cap "$probe" 4000000)

"$binary_dir/tests/x11_mute_display" >"$work/mute.log" &
server_pid=$! # ended with the test, like an X server
wait_for 30 test -s "$work/mute.log" || fail "the mute display did not start"
display=$(head -n 1 "$work/mute.log")
connections() { grep -c connected "$work/mute.log" || true; }
connected_since() { [ "$(connections)" -gt "$1" ]; }

for signal in INT TERM HUP; do
  before=$(connections)
  start_probe DISPLAY="$display"
  wait_for 30 connected_since "$before" || fail "the program never connected"
  # It now waits for the server's answer, which never comes.
  kill -s "$signal" "$probe_pid"
  expect_exit 10 0
  [ ! -s "$work/out.log" ] || fail "the application started: $(cat "$work/out.log")"
  [ ! -s "$work/err.log" ] || fail "SIG$signal: unexpected output: $(cat "$work/err.log")"
  note "SIG$signal while connecting: exit 0"
done
echo PASS
