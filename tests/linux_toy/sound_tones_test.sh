#!/usr/bin/env bash
# A key with the names silenced, heard in real time at a PipeWire null sink:
# twelve tones of one pitch at the motion's bounce times, the first about
# 1.35 s after the key, on the left for the "A" column, dying away to about a
# twelfth, and nothing before the first.
source "$(dirname "$0")/sound_lib.sh"

start_x 1024 768
start_sound_server
play_sound_toy --no-speech
record_throw a "$work/a.wav" 7.5
end_toy

check_tones 0 left 0.06
early=$(onsets 0 "$tones_start")
[ -z "$early" ] || fail "sound before the first tone with --no-speech: $early"
delay=$(awk -v t="$tones_start" -v k="$key_time" 'BEGIN { printf "%.3f", t - k }')
note "first tone ${delay}s after the key"
after_key "the first tone came" "$delay" 1.25 1.6
echo PASS
