#!/usr/bin/env bash
# The command line: --help prints the usage on stdout and ends with 0, and an
# unknown option says so on stderr and ends with 2, both without touching the
# screen (their display is one that never answers, and notes every
# connection) or opening a sound device (SDL's disk driver would write a file).
source "$(dirname "$0")/toy_lib.sh"

export XDG_RUNTIME_DIR="$work/runtime" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/disk.raw"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER PIPEWIRE_REMOTE

: >"$work/mute.log"
"$binary_dir/tests/mute_display" >"$work/mute.log" &
server_pid=$!
wait_for 30 test -s "$work/mute.log" || fail "the mute display did not start"
export DISPLAY
DISPLAY=$(sed -n 1p "$work/mute.log")
unset WAYLAND_DISPLAY

# run_options EXPECTED ARGS...: the toy ends with EXPECTED, untouched screen.
run_options() {
  local expected=$1
  shift
  start_sound_toy "$work" "$@"
  wait_exit 30
  [ "$exit_code" != timeout ] || fail "zindle $* did not end (it reached for the screen?)"
  [ "$exit_code" = "$expected" ] || fail "zindle $* ended with $exit_code, not $expected"
  ! grep -q connected "$work/mute.log" || fail "zindle $* connected to the display"
  [ ! -e "$SDL_DISKAUDIOFILE" ] || fail "zindle $* opened a sound device"
}

# As in sound_lib.sh, which this test does without: it needs no sound server.
start_sound_toy() {
  local folder=$1
  shift
  : >"$work/stdout.log"
  : >"$work/stderr.log"
  (cd "$folder" && exec "$toy" "$@" >"$work/stdout.log" 2>"$work/stderr.log") &
  # shellcheck disable=SC2034 # the program under test, for the library's wait and stop
  toy_pid=$!
}

run_options 0 --help
for option in --mute --no-speech --language=; do
  grep -q -e "$option" "$work/stdout.log" || fail "the usage does not name $option: $(cat "$work/stdout.log")"
done
[ ! -s "$work/stderr.log" ] || fail "--help wrote to stderr: $(cat "$work/stderr.log")"

run_options 2 --loud
grep -q -e "--loud" "$work/stderr.log" || fail "the error does not name the option: $(cat "$work/stderr.log")"
grep -q -e "--help" "$work/stderr.log" || fail "the error does not point to --help: $(cat "$work/stderr.log")"
[ ! -s "$work/stdout.log" ] || fail "an unknown option wrote to stdout: $(cat "$work/stdout.log")"

# An option after a good one, and a language tag that could reach a file name.
run_options 2 --mute --frobnicate
run_options 2 "--language=../../etc/passwd"
echo PASS
