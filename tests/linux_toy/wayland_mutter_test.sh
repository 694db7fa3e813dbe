#!/usr/bin/env bash
# The toy on GNOME's compositor, headless, as a GNOME session starts it: both
# a Wayland display and an X display (Xwayland) named. It goes through SDL's
# Wayland driver and keeps the keyboard, Super and the switchers included,
# while a second window waits, and the pointer; the splash fills the screen
# before the scene; ESC and SIGTERM end it with 0.
source "$(dirname "$0")/wayland_lib.sh"

start_mutter 1024 768
start_keys
cp "$binary_dir/wumbly.jpg" "$work/"

# The splash, stretched over the whole screen, while the scene is being built,
# then the program's own frames, through its own GL context.
start_program "$probe" ZINDLE_PROBE_HOLD_FILE="$work/go"
wait_for 60 logged "createScene holding" || fail "the probe never built its scene"
logged "showSplash drawn" || fail "the splash was not drawn"
screen_shows 30 0 192 0 || fail "the green splash never covered the screen"
touch "$work/go"
screen_shows 30 0 0 204 || fail "the probe's blue frames never covered the screen"
keys tap Escape
expect_exit 30 0
note "splash, then frames, covering the screen"

start_terminal
export DISPLAY=$mutter_display XAUTHORITY=$mutter_xauthority
start_program "$toy"
toy_has_keyboard || fail "the toy never had the keyboard"
xdotool search --name '^Zindle$' >/dev/null 2>&1 && fail "the toy went through Xwayland"
grep -q "using its X server" "$work/program.err" && fail "the toy passed Wayland over"
typed=$(typed_size)
keys tap Super_L
wait_for 30 traced "key pressed 91, [" || fail "Super did not reach the toy"
keys chord Alt_L Tab
keys chord Super_L Tab
keys chord Control_L Alt_L Tab
keys tap b
wait_for 30 traced "key pressed 66, B" || fail "after the switchers the keys left the toy"
[ "$(typed_size)" = "$typed" ] || fail "the terminal got keys meant for the toy"
note "Super, Alt+Tab, Super+Tab, Ctrl+Alt+Tab kept"
keys tap Escape
expect_exit 30 0

# SIGTERM, and the pointer confined to the window while full screen (the
# compositor says so in the protocol log).
start_program "$toy" WAYLAND_DEBUG=client
toy_has_keyboard || fail "the toy never had the keyboard"
keys move 2000 2000
wait_for 30 grep -q 'zwp_confined_pointer_v1@[0-9]*\.confined()' "$work/program.err" ||
  fail "the pointer was not confined to the window"
kill -TERM "$program_pid"
expect_exit 30 0
note "pointer confined; ESC and SIGTERM end it with 0"
echo PASS
