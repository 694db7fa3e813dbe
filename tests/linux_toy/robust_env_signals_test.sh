#!/usr/bin/env bash
# SIGINT, SIGTERM and SIGHUP end the program at once with exit code 0 while it
# waits for an X display or a Wayland compositor that accepts the connection
# and never answers (nothing exists yet that needs tearing down), and it
# writes nothing meanwhile. Later steps of start-up are covered where they are
# built: the message box in frame_box_test, the window and the scene in
# robust_signals_test.
source "$(dirname "$0")/../support/shell/x11_session.sh"
probe_cap=$(memory_cap 4000000)

connections() { grep -c connected "$work/mute.log" || true; }
connected_since() { [ "$(connections)" -gt "$1" ]; }

# while_connecting NAME=VALUE...: for each signal, starts the probe with those
# variables, waits until it has connected and ends it with the signal.
while_connecting() {
  local signal before
  for signal in INT TERM HUP; do
    before=$(connections)
    start_probe "$@"
    wait_for 30 connected_since "$before" || fail "the program never connected ($*)"
    # It now waits for the server's answer, which never comes.
    kill -s "$signal" "$probe_pid"
    expect_exit 10 0
    [ ! -s "$work/out.log" ] || fail "the application started: $(cat "$work/out.log")"
    [ ! -s "$work/err.log" ] || fail "SIG$signal: unexpected output: $(cat "$work/err.log")"
    note "SIG$signal while connecting ($*): exit 0"
  done
}

# start_mute [PATH]: a mute display server; sets mute_name to what reaches it.
start_mute() {
  stop_server
  : >"$work/mute.log"
  "$binary_dir/tests/mute_display" "$@" >"$work/mute.log" &
  server_pid=$! # ended with the test, like an X server
  wait_for 30 test -s "$work/mute.log" || fail "the mute display did not start"
  mute_name=$(head -n 1 "$work/mute.log")
}

start_mute
while_connecting DISPLAY="$mute_name" WAYLAND_DISPLAY=
start_mute "$work/wayland-mute"
while_connecting WAYLAND_DISPLAY="$mute_name" DISPLAY=
echo PASS
