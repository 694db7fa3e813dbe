#!/usr/bin/env bash
# Takes the README's screenshot: the toy on a private 1024x768 X server, a few
# cubes in flight, saved as docs/screenshot.png.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
build=${ZINDLE_BUILD_DIR:-$top/build}
install_deps --tests
cmake_configure "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZINDLE_TESTS=OFF -DZINDLE_BENCH=OFF
cmake_build "$build" zindle

work=$(mktemp -d)
fifo="$work/displayfd"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill $toy $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
read -r -t 60 number <"$fifo"
export DISPLAY=":$number" LIBGL_ALWAYS_SOFTWARE=1

(cd "$build" && exec ./zindle 2>/dev/null) &
toy=$!
deadline=$((SECONDS + 60))
until xdotool search --name '^Zindle$' >/dev/null 2>&1; do
  [ $SECONDS -lt $deadline ] || { echo "the toy did not start" >&2; exit 1; }
  sleep 0.2
done
read -r window < <(xdotool search --name '^Zindle$')
# Let the scene settle, throw a few cubes, and catch them mid-flight.
sleep 1.8
xdotool key --window "$window" m t 1
sleep 0.5
xwd -root -silent | convert xwd:- -resize 800x600 "$top/docs/screenshot.png"
xdotool key --window "$window" Escape
wait $toy || true
echo "saved docs/screenshot.png"
