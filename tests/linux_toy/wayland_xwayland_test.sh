#!/usr/bin/env bash
# The toy through Xwayland under GNOME's compositor (SDL's X11 driver asked for
# by name), where mutter may hand the keyboard to another window past the
# toy's grab. The toy, full screen and above the rest, must not stay over the
# window that has the keys: it minimizes itself, and once restored it is full
# screen again and has the keyboard back.
source "$(dirname "$0")/wayland_lib.sh"

start_mutter 1024 768
start_keys
cp "$binary_dir/wumbly.jpg" "$work/"
export DISPLAY=$mutter_display XAUTHORITY=$mutter_xauthority

xmessage -name other "another window" >/dev/null 2>&1 &
other_pid=$!
at_exit kill "$other_pid"
wait_for 30 xdotool search --name '^other$' >/dev/null || fail "the second window never showed"
other=$(first_line xdotool search --name '^other$')

start_program "$toy" SDL_VIDEODRIVER=x11
wait_for 60 xdotool search --name '^Zindle$' >/dev/null || fail "no toy window on Xwayland"
toy_window=$(first_line xdotool search --name '^Zindle$')
toy_has_keyboard || fail "the toy never had the keyboard"

window_state() { xprop -id "$1" WM_STATE | awk '/window state:/ { print $3 }'; }
in_state() { [ "$(window_state "$1")" = "$2" ]; }

xdotool windowactivate "$other"
wait_for 30 in_state "$toy_window" Iconic || fail "the toy stayed on screen over the window with the keys"
note "focus taken: the toy minimized itself"

xdotool windowactivate "$toy_window"
wait_for 30 in_state "$toy_window" Normal || fail "the toy did not come back"
[[ "$(xprop -id "$toy_window" _NET_WM_STATE)" == *_NET_WM_STATE_FULLSCREEN* ]] || fail "the toy came back not full screen"
keys tap d
wait_for 30 traced "key pressed 68, D" || fail "restored, the toy did not get the keys back"
note "restored: full screen, with the keyboard"

keys tap Escape
expect_exit 30 0
echo PASS
