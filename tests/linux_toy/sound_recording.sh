#!/usr/bin/env bash
# The recordings of scripts/record-sound.sh: a throw of "A" with its name, and
# the space bar, each into RECORD_INTO as a small WAV (16-bit stereo at 24 kHz, small enough to keep),
# with the probe's measure of each beside it on standard output. Not a test:
# its name does not end in _test.
# shellcheck source=tests/linux_toy/sound_lib.sh
source "$(dirname "$0")/sound_lib.sh"
into=${RECORD_INTO:?the folder to write into}

start_x 1024 768
start_sound_server
play_sound_toy
wait_for 30 toy_streams_open || fail "the toy opened no stream on the sound server: $(cat "$work/stderr.log")"

record() { # NAME KEY SECONDS: records the key's sound for SECONDS after it
  start_recording "$work/$1.wav"
  local from
  from=$(record_frames)
  xdotool key "$2"
  wait_for 30 recorded_past "$from" "$3" || fail "the recorder stopped short"
  stop_recording
  sox "$work/$1.wav" -b 16 "$into/$1.wav" trim "$(awk -v f="$from" -v r="$sound_rate" 'BEGIN { print f / r }')" "$3" rate -v 24k
  echo "== $1: the key at 0 s"
  "$probe" "$into/$1.wav"
}
record sound-throw a 7
record sound-space space 7.5
end_toy
