#!/usr/bin/env bash
# The sound server killed while the toy plays, and started again: the toy plays
# on, and a throw after the restart is heard within a couple of seconds of the
# server's return.
source "$(dirname "$0")/sound_lib.sh"

start_x 1024 768
start_sound_server
play_sound_toy --no-speech
wait_for 30 toy_streams_open || fail "the toy opened no stream on the sound server: $(cat "$work/stderr.log")"
start_recording "$work/before.wav"
key_frame=$(record_frames)
xdotool key a
thrown=$SECONDS
wait_for 30 recorded_past "$key_frame" 2 || fail "the recorder stopped short"

# Killed mid-throw, as a crash would.
stop_sound_server KILL
record_pid=""
measure "$work/before.wav"
[ -n "$(onsets)" ] || fail "nothing was heard before the server went"
pitch=$(onsets | awk 'NR == 1 { print $5 }')
toy_running || fail "the toy ended with its sound server: $(cat "$work/stderr.log")"
# The toy draws on without its server ("U" is thrown until a look sees it).
expect_throw_grows
thrown=$SECONDS

start_sound_server
returned=$SECONDS
# The throws from before the restart end before the next is listened to.
first_throw_over() { [ $SECONDS -ge $((thrown + 8)) ]; }
wait_for 30 first_throw_over
wait_for 30 toy_streams_open || fail "the toy did not come back to the sound server: $(cat "$work/stderr.log")"
note "the toy's stream was back $((SECONDS - returned)) s after the server (or sooner)"
start_recording "$work/after.wav"
key_frame=$(record_frames)
xdotool key a
wait_for 30 recorded_past "$key_frame" 3 || fail "the recorder stopped short"
stop_recording
end_toy
measure "$work/after.wav"
key_time=$(awk -v f="$key_frame" -v r="$sound_rate" 'BEGIN { print f / r }')
early=$(onsets 0 "$key_time")
[ -z "$early" ] || note "heard before the throw after the restart: $early"
# The "A" cube's tones, apart from any of the "U" cube's still bouncing.
onsets "$key_time" | awk -v p="$pitch" '$5 > 0.97 * p && $5 < 1.03 * p' >"$work/after.txt"
[ -s "$work/after.txt" ] || fail "the throw after the restart was not heard"
heard=$(awk -v k="$key_time" 'NR == 1 { printf "%.3f", $1 - k }' "$work/after.txt")
note "the first tone after the restart ${heard}s after the key"
after_key "the first tone after the restart came" "$heard" 1.25 1.6
echo PASS
