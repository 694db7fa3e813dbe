#!/usr/bin/env bash
# Under mutter as the X11 window manager on a screen without a 1024x768 mode:
# after the box, the toy plays in a window that the window manager can frame
# (a TrueColor visual, a title bar that is not solid black), and the keyboard
# and the pointer stay free for the rest of the desktop.
source "$(dirname "$0")/../support/shell/desktop_session.sh"

start_xvfb 1280 1024
start_session_bus
start_wm mutter
start_probe

wait_for 60 has_box || fail "no message box"
# Dismiss the box; press again while it is still being set up.
dismissed() {
  local box
  box=$(box_window)
  [ -n "$box" ] && xdotool key --window "$box" Return 2>/dev/null
  logged drawFrame
}
wait_for 60 dismissed || fail "the program did not go on after the box"
wait_for 60 has_probe_window || fail "no window named Zindle"
window=$(probe_window)

[[ "$(xwininfo -id "$window")" == *"Visual Class: TrueColor"* ]] ||
  fail "the window's visual is not TrueColor: $(xwininfo -id "$window" | grep 'Visual Class')"

# The window manager's frame: the window's ancestor just below the root.
frame=$window
root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
while parent=$(xwininfo -children -id "$frame" | awk '/Parent window id:/ { print $4 }') &&
  [ -n "$parent" ] && [ "$((parent))" != "$((root))" ]; do
  frame=$parent
done
[ "$((frame))" != "$((window))" ] || fail "mutter did not frame the window"
read -r fx fy fw fh <<<"$(geometry "$frame")"
read -r cx cy cw ch <<<"$(geometry "$window")"
[ "$cy" -gt "$fy" ] || fail "the frame ($fx $fy $fw $fh) has no title bar above the window ($cx $cy $cw $ch)"

# The title bar: drawn in the frame's own colours, not solid black.
title_lit() {
  xwd -root -silent | convert xwd:- -crop "${cw}x$((cy - fy))+$cx+$fy" +repage -colorspace gray \
    -format '%[fx:int(255*mean)]' info: >"$work/title"
  [ "$(cat "$work/title")" -gt 40 ]
}
wait_for 30 title_lit || fail "the title bar is dark (mean grey $(cat "$work/title") of 255)"

keyboard_free || fail "the windowed program holds the keyboard: $(keyboard_grab)"
pointer_free || fail "the windowed program holds the pointer: $(pointer_grab)"
xdotool mousemove 1250 1000
[[ "$(xdotool getmouselocation)" == "x:1250 y:1000 "* ]] || fail "the pointer did not leave the window: $(xdotool getmouselocation)"

wmctrl -i -c "$window"
expect_exit 30 0
echo PASS
