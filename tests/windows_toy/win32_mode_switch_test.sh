#!/usr/bin/env bash
# The real display-mode change, on an X server that can switch from 1280x1024
# to 1024x768: the screen is 1024x768 while the toy runs full screen, the
# desktop's mode is back while it is minimized and 1024x768 again once it is
# restored, and the desktop's mode comes back after ESC and after a crash.
source "$(dirname "$0")/win32_lib.sh"

start_xorg_wine
[ "$(screen_size)" = 1280x1024 ] || fail "the server started at $(screen_size)"

start_probe
expect_logged 120 drawFrame
wait_for 30 screen_is 1024x768 || fail "the screen is $(screen_size) while the toy runs"
wine "$inspect" Zindle minimize 2>/dev/null
wait_for 30 screen_is 1280x1024 || fail "minimized, the screen stayed at $(screen_size)"
wine "$inspect" Zindle restore 2>/dev/null
wait_for 30 screen_is 1024x768 || fail "restored, the screen is $(screen_size)"
xdotool key Escape
expect_exit 30 0
wait_for 30 screen_is 1280x1024 || fail "after ESC the screen stayed at $(screen_size)"

start_probe ZINDLE_PROBE_CRASH=1
wait_for 120 screen_is 1024x768 || fail "the screen is $(screen_size) while the toy runs"
wait_child 60 "$probe_pid"
probe_pid=""
[ "$child_exit" != 0 ] && [ "$child_exit" != timeout ] || fail "the crash ended with $child_exit"
wait_for 30 screen_is 1280x1024 || fail "after a crash the screen stayed at $(screen_size)"
echo PASS
