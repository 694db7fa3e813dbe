#!/usr/bin/env bash
# The whole toy under a 1024x768 X server: splash first, forty cubes where the
# camera puts them, a key throws its cube, the card for ten seconds, ESC ends.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
cp "$binary_dir/wumbly.jpg" "$work/"
start_toy "$work"

watch_splash

# Forty cubes: every cube's centre is covered, the gaps between them are not.
scene_shown() { shot "$work/grid.png"; is_scene "$work/grid.png"; }
wait_for 60 scene_shown || fail "the cubes never showed"
for row in 5 3 1 -1 -3; do
  for column in 8 6 4 2 0 -2 -4 -6; do
    cube_at "$work/grid.png" "$column" "$row" || fail "no cube at ($column, $row)"
  done
done
for row in 5 3 1 -1 -3; do
  gap=$(cube_x 7)
  lit "$work/grid.png" "$gap" "$(cube_y "$row")" && fail "something between the first two columns on row $row"
done
note "forty cubes in place"

# The card floats right of and below the centre for the first ten seconds.
card_x=$(awk 'BEGIN { printf "%d", (1 + 1.4 / (10.5 * 0.2216947)) / 2 * 1024 }')
card_y=$(awk 'BEGIN { printf "%d", (1 + 1.65 / (10.5 * 0.2216947)) / 2 * 768 }')
bright "$work/grid.png" "$card_x" "$card_y" || fail "the card is not shown at first"

# "U" sits near the middle: thrown, it comes close and covers far more of the
# screen for about a second of its first flight. Watch each throw for a few
# seconds; a screenshot can take longer than the close part of the flight on a
# loaded machine, so throw again until a look catches it close. Each look
# reads a quarter-size sample of the screen straight from the server, in a
# third of the time of a screenshot written to a file and read back, so that
# more of them land in that second; at a load of 25 on two cores, a minute of
# full screenshots once missed it every time.
look() {
  xwd -root -silent | convert xwd:- -sample 25% -colorspace gray -threshold 10% -format "%[fx:int(1000*mean)]" info:
}
rest=$(look)
largest=0
thrown_close() {
  xdotool key u
  local share watch_until=$((SECONDS + 3))
  while [ $SECONDS -lt $watch_until ]; do
    share=$(look)
    [ "$share" -gt "$largest" ] && largest=$share
    [ "$share" -gt $((rest + 30)) ] && return 0
  done
  return 1
}
wait_for 120 thrown_close || fail "a thrown cube did not grow on screen (lit share $rest at rest, $largest at most)"
grep -q "key pressed 85, U" "$work/stderr.log" || fail "the key was not traced"
note "thrown cube grew (lit share $rest at rest, $largest in a look)"

# The Super key stays in the toy, as a key without a cube of its own.
xdotool key super
wait_for 30 grep -q "key pressed 91, \\[" "$work/stderr.log" || fail "the Super key did not reach the toy"

# After ten seconds the card is gone.
gone() { shot "$work/late.png"; ! bright "$work/late.png" "$card_x" "$card_y"; }
wait_for 60 gone || fail "the card stayed"
note "card gone"

toy_running || fail "the toy ended early"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
echo "PASS"
