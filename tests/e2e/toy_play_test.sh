#!/usr/bin/env bash
# The whole toy under a 1024x768 X server: splash first, forty cubes where the
# camera puts them, a key throws its cube, the card for ten seconds, ESC ends.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
cp "$binary_dir/wumbly.jpg" "$work/"
start_toy "$work"
wait_for 60 has_toy_window || fail "no window: $(cat "$work/stderr.log")"

# Catch the splash while the scene is being built: stop the toy, look, let it
# run a little, look again. Until the first frame the screen shows the splash
# (sky blue in the top-left corner); after it, the black background.
splash_seen=""
deadline=$((SECONDS + 60))
while [ $SECONDS -lt $deadline ]; do
  kill -STOP "$toy_pid"
  shot "$work/early.png"
  kill -CONT "$toy_pid"
  read -r r g b <<<"$(pixel "$work/early.png" 20 20)"
  if [ "$b" -gt 200 ] && [ "$r" -lt 190 ]; then
    splash_seen=yes
    break
  fi
  # Once cubes show, the splash moment has passed.
  if lit "$work/early.png" "$(cube_x 0)" "$(cube_y 1)"; then
    break
  fi
done
[ -n "$splash_seen" ] || fail "the splash picture was not on screen before the first frame"
note "splash seen"

# Forty cubes: every cube's centre is covered, the gaps between them are not.
wait_for 60 bash -c "xwd -root -silent | convert xwd:- '$work/grid.png' && \
  [ \$(convert '$work/grid.png' -format '%[fx:int(255*p{$(cube_x 0),$(cube_y 1)}.r+255*p{$(cube_x 0),$(cube_y 1)}.g+255*p{$(cube_x 0),$(cube_y 1)}.b)]' info:) -gt 60 ]" \
  || fail "the cubes never showed"
shot "$work/grid.png"
for row in 5 3 1 -1 -3; do
  for column in 8 6 4 2 0 -2 -4 -6; do
    lit "$work/grid.png" "$(cube_x "$column")" "$(cube_y "$row")" || fail "no cube at ($column, $row)"
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

# "U" sits near the middle: thrown, it comes close and fills much of the screen.
rest=$(lit_share "$work/grid.png")
xdotool key --window "$(toy_window)" u
grew=""
deadline=$((SECONDS + 30))
while [ $SECONDS -lt $deadline ]; do
  shot "$work/throw.png"
  if [ "$(lit_share "$work/throw.png")" -gt $((rest * 2 + 50)) ]; then
    grew=yes
    break
  fi
done
[ -n "$grew" ] || fail "a thrown cube did not grow on screen (rest share $rest)"
grep -q "key pressed 85, U" "$work/stderr.log" || fail "the key was not traced"
note "thrown cube grew"

# After ten seconds the card is gone.
gone() { shot "$work/late.png"; ! bright "$work/late.png" "$card_x" "$card_y"; }
wait_for 60 gone || fail "the card stayed"
note "card gone"

toy_running || fail "the toy ended early"
xdotool key --window "$(toy_window)" Escape
code=$(wait_exit 60)
[ "$code" = 0 ] || fail "ESC ended with $code"
echo "PASS"
