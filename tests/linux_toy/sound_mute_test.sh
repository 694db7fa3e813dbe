#!/usr/bin/env bash
# --mute opens no audio device: with a sound server running, the toy that
# plays sound shows a stream on it, the muted toy none while it throws; and
# with SDL's disk driver the muted toy writes no file.
source "$(dirname "$0")/sound_lib.sh"

start_x 1024 768
start_sound_server

# The check sees the stream of a toy that plays.
play_sound_toy
wait_for 30 toy_streams_open || fail "the toy opened no stream on the sound server: $(cat "$work/stderr.log")"
end_toy
no_streams() { [ "$(sink_inputs)" = 0 ] && [ "$(pipewire_output_streams)" = 0 ]; }
wait_for 30 no_streams || fail "the toy's stream outlived it"

# Muted, through a throw's first landings.
play_sound_toy --mute
xdotool key a
watch_until=$((SECONDS + 3))
while [ $SECONDS -lt $watch_until ]; do
  no_streams || fail "the muted toy opened a stream: $(pactl list short sink-inputs)"
  sleep 0.1
done
end_toy

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/disk.raw"
play_sound_toy --mute
xdotool key a
end_toy
[ ! -e "$SDL_DISKAUDIOFILE" ] || fail "the muted toy opened SDL's disk device"
echo PASS
