#!/usr/bin/env bash
# What the toy plays, written by SDL's disk driver (every sample, though not
# paced in real time): one landing of a bottom-row cube, among the loudest
# notes, then the space bar's chord of forty: fuller than that one landing, no
# louder than about twice it, and no sample at full scale.
source "$(dirname "$0")/sound_lib.sh"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/disk.raw"
start_x 1024 768
play_sound_toy --no-speech
wait_for 30 test -s "$SDL_DISKAUDIOFILE" || fail "the disk driver wrote nothing: $(cat "$work/stderr.log")"

disk_rate=48000
disk_frames() { echo $(($(stat -c %s "$SDL_DISKAUDIOFILE") / 8)); }
disk_past() { [ "$(disk_frames)" -gt $(($1 + $2 * disk_rate)) ]; }
key_frame=$(disk_frames)
xdotool key 6
wait_for 30 disk_past "$key_frame" 7 || fail "the disk driver stopped writing"
space_frame=$(disk_frames)
xdotool key space
wait_for 30 disk_past "$space_frame" 7 || fail "the disk driver stopped writing"
end_toy

measure "$SDL_DISKAUDIOFILE" --raw f32 "$disk_rate" 2
[ "$rec_clipped" = 0 ] || fail "$rec_clipped samples at full scale"
space_time=$(awk -v f="$space_frame" -v r="$disk_rate" 'BEGIN { print f / r }')
onsets 0 "$space_time" >"$work/single.txt"
[ -s "$work/single.txt" ] || fail "the key's landings were not heard: $(cat "$work/measure.txt")"
# The first landing, the loudest of the throw; "6" sits in the left column.
read -r _ single single_left single_right _ <"$work/single.txt"
awk -v l="$single_left" -v r="$single_right" 'BEGIN { exit !(l > 1.5 * r) }' ||
  fail "the \"6\" column's landing is not on the left ($single_left, $single_right)"
chord=$(onsets "$space_time" | awk '$2 > peak { peak = $2 } END { print peak + 0 }')
note "one landing peaks at $single, the chord of forty at $chord, all at $rec_peak"
awk -v s="$single" -v c="$chord" 'BEGIN { exit !(c > s && c <= 2.6 * s) }' ||
  fail "the chord peaks at $chord against one landing's $single"
echo PASS
