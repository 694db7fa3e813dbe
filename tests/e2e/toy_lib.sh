# Shared by the toy's whole-program tests: a private X server, screenshots and
# polling with deadlines. Sourced, not run.

set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/stderr.log" ] && { echo "--- the toy's standard error, last lines:" >&2; tail -n 20 "$work/stderr.log" >&2; }
  exit 1
}
note() { echo "-- $*" >&2; }

work=$(mktemp -d /tmp/zindle-e2e.XXXXXX)
server_pid=""
toy_pid=""

cleanup() {
  [ -n "$toy_pid" ] && kill -CONT "$toy_pid" 2>/dev/null || true
  [ -n "$toy_pid" ] && kill -KILL "$toy_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap 'explain_exit $? "$BASH_COMMAND"; cleanup' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/../support/x11_server.sh"

# start_x WIDTH HEIGHT: a private Xvfb on a free display; sets DISPLAY.
start_x() { start_xvfb "$@"; }

# start_toy FOLDER: runs the toy with FOLDER as its working directory, under
# the address-space cap toy_cap (ulimit -v, in KB).
toy_cap=unlimited
start_toy() {
  # Emptied before the start, so that a check polling the logs never reads an
  # earlier toy's lines while this one is still starting.
  : >"$work/stdout.log"
  : >"$work/stderr.log"
  (cd "$1" && ulimit -v "$toy_cap" && exec "$toy" >"$work/stdout.log" 2>"$work/stderr.log") &
  toy_pid=$!
}

toy_running() { kill -0 "$toy_pid" 2>/dev/null; }

# wait_exit SECONDS: waits for the toy to end and sets exit_code ("timeout"
# if it did not). Not for $(...): only this shell can wait for its child.
exit_code=""
wait_exit() {
  wait_child "$1" "$toy_pid"
  exit_code=$child_exit
  [ "$exit_code" = timeout ] || toy_pid=""
}

toy_window() { first_line xdotool search --name '^Zindle$' 2>/dev/null; }
has_toy_window() { [ -n "$(toy_window)" ]; }

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

toy=$(realpath "${1:?the toy program}")
binary_dir=${ZINDLE_BINARY_DIR:?}

# drawn: the scene is on screen (a cube at the middle of the grid).
drawn() { shot "$work/frame.png"; cube_at "$work/frame.png" 0 1; }

# Until the first frame the screen shows the splash (the picture that comes
# with the toy is sky blue in its top-left corner); from then on the black
# background with the cubes.
is_splash() {
  local r g b
  read -r r g b <<<"$(pixel "$1" 20 20)"
  [ "$b" -gt 200 ] && [ "$r" -lt 190 ]
}
is_scene() { ! lit "$1" 20 20 && cube_at "$1" 0 1; }

# watch_splash: the toy, just started, shows its splash before its first
# frame. It starts in a fraction of a second, so step it from the start: stop
# it, look while it stands still, let it run for a few milliseconds, look again.
watch_splash() {
  local splash_seen="" deadline=$((SECONDS + 120))
  while [ $SECONDS -lt $deadline ] && toy_running; do
    kill -STOP "$toy_pid"
    shot "$work/early.png"
    if is_splash "$work/early.png"; then
      splash_seen=yes
    elif is_scene "$work/early.png"; then
      kill -CONT "$toy_pid"
      break
    fi
    kill -CONT "$toy_pid"
    sleep 0.005
  done
  [ -n "$splash_seen" ] || fail "the splash picture was not on screen before the first frame"
  note "splash seen"
}

# start_playing FOLDER: starts the toy there and waits until its cubes show.
start_playing() {
  start_toy "$1"
  wait_for 60 has_toy_window || fail "no window: $(cat "$work/stderr.log")"
  wait_for 60 drawn || fail "the cubes never showed: $(cat "$work/stderr.log")"
}
