#!/usr/bin/env bash
# A key with the names silenced, heard in real time at a PipeWire null sink:
# twelve tones of one pitch at the motion's bounce times, the first about
# 1.35 s after the key, on the left for the "A" column, dying away to about a
# twelfth, and nothing before the first.
source "$(dirname "$0")/sound_lib.sh"

start_x 1024 768
start_sound_server
play_sound_toy --no-speech
wait_for 30 toy_streams_open || fail "the toy opened no stream on the sound server: $(cat "$work/stderr.log")"

start_recording "$work/a.wav"
key_frame=$(record_frames)
xdotool key a
wait_for 30 recorded_past "$key_frame" 7.5 || fail "the recorder stopped short"
stop_recording
end_toy

measure "$work/a.wav"
check_tones 0 left 0.06
key_time=$(awk -v f="$key_frame" -v r="$sound_rate" 'BEGIN { print f / r }')
early=$(onsets 0 "$tones_start")
[ -z "$early" ] || fail "sound before the first tone with --no-speech: $early"
delay=$(awk -v t="$tones_start" -v k="$key_time" 'BEGIN { printf "%.3f", t - k }')
note "first tone ${delay}s after the key"
after_key "the first tone came" "$delay" 1.25 1.6
echo PASS
