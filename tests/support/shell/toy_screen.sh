# shellcheck shell=bash
# What the toy's whole-program tests read off the screen, on Linux and under
# Wine alike: screenshots, pixels, where the camera puts each resting cube and
# the card, the splash before the first frame, the grid and a thrown cube.
# Sourced by the toy's test layers (tests/linux_toy/toy_lib.sh,
# tests/windows_toy/win32_toy_lib.sh) after tests/support/shell/toy.sh and
# x11_server.sh.

# shellcheck source=tests/support/shell/toy.sh
source "$(dirname "${BASH_SOURCE[0]}")/toy.sh"

# shot FILE: the whole screen as PNG.
shot() { xwd -root -silent | convert xwd:- "$1"; }

# pixel FILE X Y: "r g b" in 0-255.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}

# lit FILE X Y: the pixel is not background black.
lit() {
  local r g b
  read -r r g b <<<"$(pixel "$@")"
  [ $((r + g + b)) -gt 60 ]
}

# bright FILE X Y: the pixel is near white.
bright() {
  local r g b
  read -r r g b <<<"$(pixel "$@")"
  [ "$r" -gt 190 ] && [ "$g" -gt 190 ] && [ "$b" -gt 190 ]
}

# cube_at FILE COLUMN ROW: a cube shows at its resting place. Its centre pixel
# alone may fall on a dark letter or a face turned from the light, so the
# brightest pixel within 8 pixels of it counts; a resting cube covers more.
cube_at() {
  local x y brightest
  x=$(cube_x "$2")
  y=$(cube_y "$3")
  brightest=$(convert "$1" -crop "17x17+$((x - 8))+$((y - 8))" +repage -fx '(r+g+b)/3' \
    -format '%[fx:int(765*maxima)]' info:)
  [ "$brightest" -gt 60 ]
}

# lit_share FILE: the share of the screen, in thousandths, that is not black.
lit_share() { convert "$1" -colorspace gray -threshold 10% -format "%[fx:int(1000*mean)]" info:; }

# Screen position of a resting cube's centre at 1024x768: the camera at z -10
# looks along +z with +x to the left, 25 degrees of view, stretched to the screen.
cube_x() { awk -v x="$1" 'BEGIN { printf "%d", (1 - x / (60 * 0.2216947)) / 2 * 1024 }'; }
cube_y() { awk -v y="$1" 'BEGIN { printf "%d", (1 - y / (60 * 0.2216947)) / 2 * 768 }'; }

# The card floats right of and below the centre for the first ten seconds.
card_x=$(awk 'BEGIN { printf "%d", (1 + 1.4 / (10.5 * 0.2216947)) / 2 * 1024 }')
card_y=$(awk 'BEGIN { printf "%d", (1 + 1.65 / (10.5 * 0.2216947)) / 2 * 768 }')
card_shown() { bright "$1" "$card_x" "$card_y"; }

# Until the first frame the screen shows the splash (the picture that comes
# with the toy is sky blue in its top-left corner); from then on the black
# background with the cubes.
is_splash() {
  local r g b
  read -r r g b <<<"$(pixel "$1" 20 20)"
  [ "$b" -gt 200 ] && [ "$r" -lt 190 ]
}
is_scene() { ! lit "$1" 20 20 && cube_at "$1" 0 1; }

# drawn: the scene is on screen, the splash gone. A window that appears or
# goes during the screenshot (Wine makes and destroys some as it goes) makes
# it fail now and then; the next try counts.
drawn() { shot "$work/frame.png" 2>/dev/null && is_scene "$work/frame.png"; }

# watch_splash: the toy, just started, shows its splash before its first
# frame. It starts in a fraction of a second, so step it from the start: stop
# it, look while it stands still, let it run for a few milliseconds, look again.
# A program stopped while it holds the X server grabbed (Wine does now and
# then) would keep the screenshot waiting for ever: a look that takes too long
# is given up and the toy let run on.
watch_splash() {
  local splash_seen="" deadline=$((SECONDS + 120))
  while [ $SECONDS -lt $deadline ] && program_running; do
    kill -STOP "$program_pid"
    if ! timeout 5 xwd -root -silent -out "$work/early.xwd"; then
      kill -CONT "$program_pid"
      continue
    fi
    convert "xwd:$work/early.xwd" "$work/early.png"
    if is_splash "$work/early.png"; then
      splash_seen=yes
    elif is_scene "$work/early.png"; then
      kill -CONT "$program_pid"
      break
    fi
    kill -CONT "$program_pid"
    sleep 0.005
  done
  [ -n "$splash_seen" ] || fail "the splash picture was not on screen before the first frame"
  note "splash seen"
}

# expect_forty_cubes FILE: every cube's centre is covered, the gaps between
# the first two columns are not.
expect_forty_cubes() {
  local row column
  for row in 5 3 1 -1 -3; do
    for column in 8 6 4 2 0 -2 -4 -6; do
      cube_at "$1" "$column" "$row" || fail "no cube at ($column, $row)"
    done
  done
  for row in 5 3 1 -1 -3; do
    lit "$1" "$(cube_x 7)" "$(cube_y "$row")" && fail "something between the first two columns on row $row"
  done
  return 0
}

# expect_throw_grows: "U" sits near the middle: thrown, it comes close and
# covers far more of the screen for about a second of its first flight. Watch
# each throw for a few seconds; a screenshot can take longer than the close
# part of the flight on a loaded machine, so throw again until a look catches
# it close. Each look reads a quarter-size sample of the screen straight from
# the server, in a third of the time of a screenshot written to a file and
# read back, so that more of them land in that second; at a load of 25 on two
# cores, a minute of full screenshots once missed it every time.
look() {
  xwd -root -silent | convert xwd:- -sample 25% -colorspace gray -threshold 10% -format "%[fx:int(1000*mean)]" info:
}
rest=0
largest=0
expect_throw_grows() {
  rest=$(look)
  largest=0
  wait_for 120 thrown_close || fail "a thrown cube did not grow on screen (lit share $rest at rest, $largest at most)"
  note "thrown cube grew (lit share $rest at rest, $largest in a look)"
}
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
