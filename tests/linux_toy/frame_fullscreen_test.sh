#!/usr/bin/env bash
# Full screen on a display that offers 1024x768: the window covers the screen
# and holds the keyboard, keys reach keyDown (auto-repeats too, Super as well),
# Alt combinations and F10 do not, and ESC ends the program with exit code 0
# and lets go of the keyboard. Alt+F4 ends it the same way.
source "$(dirname "$0")/../support/shell/x11_session.sh"

start_xvfb 1024 768
start_probe
expect_logged 60 drawFrame

window=$(probe_window)
[ -n "$window" ] || fail "no window named Zindle"
[ "$(geometry "$window")" = "0 0 1024 768" ] || fail "window at $(geometry "$window"), not covering the screen"
[[ "$(xprop -id "$window" _NET_WM_STATE)" == *_NET_WM_STATE_FULLSCREEN* ]] || fail "the window is not marked full screen for a window manager"
wait_for 30 keyboard_held || fail "a second client could grab the keyboard: $(keyboard_grab)"

xdotool key a super F10 alt+b alt c
expect_logged 30 "keyDown 67"
logged "keyDown 65" || fail "a did not reach keyDown"
logged "keyDown 91" || fail "Super did not reach keyDown as 0x5B"
for code in 121 66 18; do
  ! logged "keyDown $code" || fail "system key $code reached keyDown"
done

# A held key repeats, and every repeat is a key-down.
xdotool keydown x
wait_for 30 logged_times 3 "keyDown 88" || fail "no auto-repeats of a held key"
xdotool keyup x

xdotool key Escape
expect_exit 30 0
logged destroyScene || fail "no destroyScene after ESC"
! logged "keyDown 27" || fail "ESC reached keyDown"
keyboard_free || fail "the keyboard is still held after the program ended: $(keyboard_grab)"

start_probe
expect_logged 60 drawFrame
xdotool key alt+F4
expect_exit 30 0
logged destroyScene || fail "no destroyScene after Alt+F4"
echo PASS
