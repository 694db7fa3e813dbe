#!/usr/bin/env bash
# Without its splash picture the toy starts normally: no box, no complaint.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
mkdir "$work/empty"
start_playing "$work/empty"
windows=$(xwininfo -root -tree | grep -c '"Zindle"' || true)
[ "$windows" = 1 ] || fail "expected the toy's window alone, found $windows named Zindle"
grep -v '^size: \|^key pressed' "$work/stderr.log" && fail "unexpected output on standard error"

xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
echo "PASS"
