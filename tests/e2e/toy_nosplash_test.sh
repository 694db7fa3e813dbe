#!/usr/bin/env bash
# Without its splash picture the toy starts normally: no box, no complaint.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
mkdir "$work/empty"
start_toy "$work/empty"
wait_for 60 has_toy_window || fail "no window: $(cat "$work/stderr.log")"

drawn() { shot "$work/frame.png"; lit "$work/frame.png" "$(cube_x 0)" "$(cube_y 1)"; }
wait_for 60 drawn || fail "the cubes never showed"
windows=$(xwininfo -root -tree | grep -c '"Zindle"' || true)
[ "$windows" = 1 ] || fail "expected the toy's window alone, found $windows named Zindle"
grep -v '^size: \|^key pressed' "$work/stderr.log" && fail "unexpected output on standard error"

xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
echo "PASS"
