#!/usr/bin/env bash
# The whole toy under a 1024x768 X server: splash first, forty cubes where the
# camera puts them, a key throws its cube, the card for ten seconds, ESC ends.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
cp "$binary_dir/wumbly.jpg" "$work/"
start_toy "$work"

watch_splash

scene_shown() { shot "$work/grid.png"; is_scene "$work/grid.png"; }
wait_for 60 scene_shown || fail "the cubes never showed"
expect_forty_cubes "$work/grid.png"
note "forty cubes in place"
card_shown "$work/grid.png" || fail "the card is not shown at first"

expect_throw_grows
grep -q "key pressed 85, U" "$work/stderr.log" || fail "the key was not traced"

# The Super key stays in the toy, as a key without a cube of its own.
xdotool key super
wait_for 30 grep -q "key pressed 91, \\[" "$work/stderr.log" || fail "the Super key did not reach the toy"

# After ten seconds the card is gone.
gone() { shot "$work/late.png"; ! card_shown "$work/late.png"; }
wait_for 60 gone || fail "the card stayed"
note "card gone"

toy_running || fail "the toy ended early"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
echo "PASS"
