#!/usr/bin/env bash
# The start-up marks the launch and picture benchmarks and the hostile-splash
# test preload (tests/support/programs/startup_marks.cpp) find every step of the real
# toy's start-up in its real library calls: each step once, in order, at
# times and CPU times that never go back, the first frame's swap last. Added
# to whatever LD_PRELOAD holds already (the sanitized run preloads its own
# helper) and started through a prefix program, as the hostile-splash test
# does; only the toy writes. Without its splash picture there is no "splash
# shown", and the first frame is still told apart. The toy plays on and ESC
# ends it with 0.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
marks="$binary_dir/tests/zindle_startup_marks.so"
[ -f "$marks" ] || fail "no start-up marks at $marks"

first_frame_shown() { grep -qs '^zindle: start-up first frame swapped' "$work/stderr.log"; }

# marked_start FOLDER WHAT EXPECTED...: starts the toy in FOLDER with the marks
# and checks the steps it writes against EXPECTED; then plays and ends it.
marked_start() {
  local folder=$1 what=$2
  shift 2
  # Emptied here, not by the toy's redirection: until the new toy has started,
  # the last one's lines would pass for its own.
  : >"$work/stdout.log"
  : >"$work/stderr.log"
  (
    cd "$folder" || exit
    export LD_PRELOAD="${LD_PRELOAD:+$LD_PRELOAD:}$marks"
    exec env "$toy" >"$work/stdout.log" 2>"$work/stderr.log"
  ) &
  program_pid=$!
  wait_for 60 first_frame_shown || fail "$what: no first frame marked; it said: $(cat "$work/stderr.log")"
  local lines steps
  lines=$(grep '^zindle: start-up ' "$work/stderr.log")
  steps=$(sed -E 's/^zindle: start-up (.*) at [0-9]+\.[0-9]{9} cpu [0-9]+\.[0-9]{3}$/\1/' <<<"$lines")
  local expected
  expected=$(printf '%s\n' "$@")
  [ "$steps" = "$expected" ] || fail "$what: steps marked:
$lines
expected:
$expected"
  awk -v what="$what" '
    { at = $(NF - 2); cpu = $NF
      if (NR > 1 && (at < last_at || cpu < last_cpu)) { print what ": went back at: " $0; bad = 1 }
      last_at = at; last_cpu = cpu }
    END { exit bad }' <<<"$lines" >&2 || fail "$what: times out of order"
  wait_for 60 drawn || fail "$what: the cubes never showed"
  xdotool key space
  xdotool key Escape
  wait_exit 60
  [ "$exit_code" = 0 ] || fail "$what: ESC ended with $exit_code"
  local said
  said=$(grep -v '^size: \|^key pressed\|^zindle: start-up ' "$work/stderr.log" || true)
  [ -z "$said" ] || fail "$what: unexpected output: $said"
  [ "$(grep -c '^zindle: start-up ' "$work/stderr.log")" = "$#" ] || fail "$what: steps marked after the first frame"
  note "$what: $# steps marked in order"
}

mkdir "$work/own"
cp "$binary_dir/wumbly.jpg" "$work/own/"
marked_start "$work/own" "with its own picture" "main" "video started" "drawing started" "splash read" \
  "display mode chosen" "window created" "window shown" "splash shown" "GL context made" "card painted" \
  "cubes painted" "first frame drawn" "first frame swapped"

mkdir "$work/empty"
marked_start "$work/empty" "without a picture" "main" "video started" "drawing started" "splash read" \
  "display mode chosen" "window created" "window shown" "GL context made" "card painted" "cubes painted" \
  "first frame drawn" "first frame swapped"
echo "PASS"
