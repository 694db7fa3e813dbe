#!/usr/bin/env bash
# The whole toy under Wine on a 1024x768 screen, started from a folder with
# its picture beside it: splash first, forty cubes where the camera puts them,
# a key throws its cube, the card for ten seconds, ESC ends with 0. A second
# run ended by WM_CLOSE ends with 0 too.
source "$(dirname "$0")/win32_toy_lib.sh"

start_wine 1024 768
folder=$(toy_folder play)
cp "$own_picture" "$folder/"
start_toy "$folder"

# Wine takes a second to start before the toy runs; stepping begins once the
# window is made (before it is shown and the splash painted).
wait_for 120 has_toy_window || fail "no window"
watch_splash
scene_shown() { shot "$work/grid.png"; is_scene "$work/grid.png"; }
wait_for 120 scene_shown || fail "the cubes never showed"
note "cubes after $(seconds_since_start) s"
expect_forty_cubes "$work/grid.png"
note "forty cubes in place"
card_shown "$work/grid.png" || fail "the card is not shown at first"

expect_throw_grows
grep -q "key pressed 85, U" "$work/stderr.log" || fail "the key was not traced"

gone() { shot "$work/late.png"; ! card_shown "$work/late.png"; }
wait_for 60 gone || fail "the card stayed"
note "card gone after $(seconds_since_start) s"

toy_running || fail "the toy ended early"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"

start_toy "$folder"
wait_for 120 drawn || fail "the second run's cubes never showed"
wine "$inspect" Zindle close 2>/dev/null || fail "no window to close"
wait_exit 60
[ "$exit_code" = 0 ] || fail "WM_CLOSE ended with $exit_code"
echo PASS
