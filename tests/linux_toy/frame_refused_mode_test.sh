#!/usr/bin/env bash
# On a display without a 1024x768 mode the refusal is reported in a message
# box; once it is dismissed the program runs in a resizable 1024x768 window at
# (64, 64) that carries the icon, follows resizing and leaves the keyboard to
# everyone else.
source "$(dirname "$0")/../support/shell/x11_session.sh"

start_xvfb 1920 1080
start_probe

# SDL shows the box from a child process; only the window tree lists it.
wait_for 60 has_box || fail "no message box"
box=$(box_window)
grep -q "cannot handle 1024x768x32 in full screen mode" "$work/err.log" || fail "the refusal was not written to stderr"
! logged "createScene" || fail "the program went on while the box was up"

xdotool key --window "$box" Return 2>/dev/null  # it warns about the focus
expect_logged 60 drawFrame
window=$(probe_window)
[ -n "$window" ] || fail "no window named Zindle"
[ "$(geometry "$window")" = "64 64 1024 768" ] || fail "window at $(geometry "$window"), not 1024x768 at (64, 64)"
[[ "$(xprop -id "$window" _NET_WM_ICON)" == *"16 x 16"* ]] || fail "the window has no 16x16 icon"
keyboard_free || fail "the windowed program holds the keyboard: $(keyboard_grab)"

xdotool windowsize "$window" 800 600
wait_for 30 grep -qx "size: 800, 600" "$work/err.log" || fail "resizing did not reach the window procedure"

xdotool key a
expect_logged 30 "keyDown 65"
xdotool key Escape
expect_exit 30 0
logged destroyScene || fail "no destroyScene after ESC"
echo PASS
