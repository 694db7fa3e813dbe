#!/usr/bin/env bash
# On an Xorg with two monitors under mutter, with a real switch of the first
# monitor to 1024x768: the pointer stays inside the toy's window, so a click
# cannot reach the other monitor. After the toy is killed outright (kill -9)
# the mode stays switched, and the line the README gives parents puts it back.
source "$(dirname "$0")/../support/shell/desktop_session.sh"

start_xorg
xrandr --addmode DUMMY1 1024x768 && xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0 ||
  fail "no second monitor: $(xrandr)"
start_session_bus
start_wm mutter

# output_at NAME: "WIDTHxHEIGHT+X+Y" of a connected output, empty when it is off.
output_at() { xrandr | awk -v name="$1" '$1 == name && $2 == "connected" && !found {
  for (i = 3; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) { print $i; found = 1; break } }'; }
output_is() { [ "$(output_at "$1")" = "$2" ]; }

start_probe
expect_logged 60 drawFrame
wait_for 30 output_is DUMMY0 1024x768+0+0 || fail "the first monitor is at $(output_at DUMMY0) while the toy runs"
window=$(probe_window)
# The window manager may still be placing it (under load it was seen at 0 37).
wait_for 30 placed "$window" "0 0 1024 768" || fail "window at $(geometry "$window"), not over the first monitor"

# The second monitor starts at x 1280: the pointer may not go there. A real
# mouse moves the pointer by relative motion (a warp to a spot is not
# confined, for clients that must place the pointer themselves).
confined() {
  xdotool mousemove 512 384 mousemove_relative -- "$1" "$2"
  local x y
  read -r x y <<<"$(xdotool getmouselocation | sed 's/x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/')"
  pointer_at="$x $y"
  [ "$x" -lt 1024 ] && [ "$y" -lt 768 ]
}
# The window manager may hold the pointer itself for a moment while it makes
# the window full screen, so the first check waits for the toy's own grab.
wait_for 30 confined 1300 0 || fail "the pointer went to ($pointer_at), off the toy's window"
confined 600 500 || fail "the pointer went to ($pointer_at), off the toy's window"
confined 2000 2000 || fail "the pointer went to ($pointer_at), off the toy's window"

kill -s KILL "$probe_pid"
wait_exit 30
[ "$probe_exit" = $((128 + 9)) ] || fail "kill -9 ended the toy with $probe_exit"
output_is DUMMY0 1024x768+0+0 || fail "the mode came back by itself after kill -9: $(output_at DUMMY0)"

# The parents' line, as the README gives it.
advice=$(grep -m 1 '^ *for screen in .*xrandr' "${ZINDLE_SOURCE_DIR:?}/README.md") ||
  fail "the README gives no xrandr line for parents"
bash -c "$advice" || fail "the README's line failed: $advice"
wait_for 30 output_is DUMMY0 1280x1024+0+0 || fail "after the README's line the first monitor is at $(output_at DUMMY0)"
[ -n "$(output_at DUMMY1)" ] || fail "the README's line turned the second monitor off"
echo PASS
