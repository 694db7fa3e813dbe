#!/usr/bin/env bash
# weston on its headless back end has no input seat, where SDL's Wayland
# driver would crash inside SDL_Init. The toy never does: with only the
# Wayland display named it ends with one line and exit 1; with weston's
# Xwayland named too it runs through X, says so, and ends with 0 on SIGTERM;
# and SDL's Wayland driver asked for by name ends with one line too.
source "$(dirname "$0")/wayland_lib.sh"

start_weston
cp "$binary_dir/wumbly.jpg" "$work/"

# one_clear_line: the program said why in a single line and nothing crashed.
one_clear_line() {
  [ "$(grep -c . "$work/program.err")" = 1 ] || fail "not one line: $(cat "$work/program.err")"
  grep -q "no input seat" "$work/program.err" || fail "no reason given: $(cat "$work/program.err")"
}

start_program "$toy"
expect_exit 30 1
one_clear_line
note "Wayland alone: $(cat "$work/program.err")"

start_program "$toy" SDL_VIDEODRIVER=wayland DISPLAY="$weston_display"
expect_exit 30 1
one_clear_line
note "SDL's Wayland driver by name: exit 1, one line"

# Through Xwayland: up and drawing (xdotool only looks; moving the pointer
# would crash this Xwayland).
export DISPLAY=$weston_display
start_program "$toy"
wait_for 60 grep -q "^size: 1024, 768$" "$work/program.err" || fail "the toy never got its window: $(cat "$work/program.err")"
wait_for 60 xdotool search --name '^Zindle$' >/dev/null || fail "no toy window on weston's Xwayland"
grep -q "no input seat; using its X server instead" "$work/program.err" || fail "the fallback was not told"
sleep 1
program_running || fail "the toy ended early"
kill -TERM "$program_pid"
expect_exit 30 0
note "through Xwayland: runs, SIGTERM ends it with 0"
echo PASS
