#!/usr/bin/env bash
# One whole life of the toy: start, play (keys, the space bar, a key without a
# cube), quit with ESC. The exit code is 0 and nothing but trace lines reaches
# standard error. In the sanitized build (scripts/test-sanitized.sh) this is
# the leak check of the real program: LeakSanitizer reports at exit, on
# standard error, and turns the exit code non-zero.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
cp "$binary_dir/wumbly.jpg" "$work/"
start_playing "$work"

xdotool key a b c space F1 Shift_L 7 period Prior
played() { [ "$(grep -c '^key pressed' "$work/stderr.log")" -ge 9 ]; }
wait_for 60 played || fail "the keys were not all handled: $(cat "$work/stderr.log")"

xdotool key Escape
wait_exit 120
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code: $(grep -v '^key pressed' "$work/stderr.log" | sed -n 1,60p)"
said=$(grep -v '^size: \|^key pressed' "$work/stderr.log" || true)
[ -z "$said" ] || fail "unexpected output on standard error: $(sed -n 1,60p <<<"$said")"
echo "PASS"
