#!/usr/bin/env bash
# Without a 1024x768 mode the toy says so in a box and then plays in a window;
# without its splash picture it starts quietly.
source "$(dirname "$0")/toy_lib.sh"

start_x 1280 1024
mkdir "$work/empty"
start_toy "$work/empty"

# The box shares the caption "Zindle" with the toy's window, which only
# appears once the box is dismissed.
wait_for 60 has_box || fail "no message box: $(cat "$work/stderr.log")"
grep -q "cannot handle 1024x768x32" "$work/stderr.log" || fail "the refusal was not reported on standard error"
# Dismiss the box; press again while it is still being set up.
dismissed() {
  local id
  id=$(box_window)
  [ -n "$id" ] && xdotool key --window "$id" Return 2>/dev/null
  [[ "$(xdotool search --name '^Zindle$' getwindowgeometry 2>/dev/null)" == *'Geometry: 1024x768'* ]]
}
wait_for 60 dismissed || fail "no 1024x768 window after the box"

shot "$work/windowed.png"
wait_for 60 bash -c "xwd -root -silent | convert xwd:- '$work/windowed.png' && \
  [ \$(convert '$work/windowed.png' -colorspace gray -threshold 10% -format '%[fx:int(1000*mean)]' info:) -gt 10 ]" \
  || fail "nothing drawn in the window"
[ "$(grep -c 'cannot handle' "$work/stderr.log")" = 1 ] || fail "more than one complaint"

xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
echo "PASS"
