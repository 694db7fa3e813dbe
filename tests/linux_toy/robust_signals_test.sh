#!/usr/bin/env bash
# SIGINT, SIGTERM and SIGHUP end the real toy through its normal tear-down
# with exit code 0, both while the scene is still being built and while it
# plays.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
mkdir "$work/empty"
cube_seen() { shot "$work/now.png"; cube_at "$work/now.png" 0 1; }

# Start-up: stop the toy as soon as its window exists; if no cube has been
# drawn yet (no splash here, so the screen stays black until the first frame)
# the signal lands during start-up. Otherwise try again.
for signal in INT TERM HUP; do
  caught=""
  for _ in 1 2 3 4 5 6; do
    start_toy "$work/empty"
    wait_for 60 has_toy_window || fail "no window: $(cat "$work/stderr.log")"
    kill -STOP "$toy_pid"
    if cube_seen; then
      kill -CONT "$toy_pid"
      kill -TERM "$toy_pid"
      wait_exit 60
      continue
    fi
    kill -"$signal" "$toy_pid"
    kill -CONT "$toy_pid"
    caught=yes
    break
  done
  [ -n "$caught" ] || fail "never caught the toy before its first frame"
  wait_exit 60
  [ "$exit_code" = 0 ] || fail "SIG$signal during start-up ended with $exit_code: $(cat "$work/stderr.log")"
  note "SIG$signal during start-up: exit 0"
done

for signal in INT TERM HUP; do
  start_toy "$work/empty"
  wait_for 60 has_toy_window || fail "no window: $(cat "$work/stderr.log")"
  wait_for 60 cube_seen || fail "the cubes never showed"
  kill -"$signal" "$toy_pid"
  wait_exit 60
  [ "$exit_code" = 0 ] || fail "SIG$signal while playing ended with $exit_code: $(cat "$work/stderr.log")"
  note "SIG$signal while playing: exit 0"
done
echo "PASS"
