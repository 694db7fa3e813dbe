#!/usr/bin/env bash
# After the display mode was switched for full screen, losing the X connection
# while the server stays (xkill) still gives the desktop its mode back, through
# a fresh connection, before the program ends with its one line.
source "$(dirname "$0")/../support/shell/x11_session.sh"

start_xorg
[ "$(screen_size)" = 1280x1024 ] || fail "the server started at $(screen_size)"
screen_is() { [ "$(screen_size)" = "$1" ]; }

start_probe
expect_logged 60 drawFrame
wait_for 30 screen_is 1024x768 || fail "the screen is $(screen_size) while the program runs"
xkill -id "$(probe_window)" >/dev/null
wait_exit 30
[ "$probe_exit" != timeout ] && [ "$probe_exit" != 0 ] && [ "$probe_exit" -lt 128 ] ||
  fail "exit $probe_exit after xkill"
grep -q "lost the connection to the X server" "$work/err.log" || fail "no line about the lost connection"
screen_is 1280x1024 || fail "after xkill the screen stayed at $(screen_size)"
modes=$(xrandr) && grep -q '1280x1024 .*\*' <<<"$modes" || fail "the output is not back in 1280x1024: $(xrandr)"
echo PASS
