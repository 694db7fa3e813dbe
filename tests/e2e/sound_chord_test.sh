#!/usr/bin/env bash
# What the toy plays, written by SDL's disk driver (every sample, though not
# paced in real time): a key's twelve tones on the right for the "H" column,
# then the space bar's chord of forty, full but with no sample at full scale
# and no louder than about twice one landing.
source "$(dirname "$0")/sound_lib.sh"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/disk.raw"
start_x 1024 768
play_sound_toy --no-speech
wait_for 30 test -s "$SDL_DISKAUDIOFILE" || fail "the disk driver wrote nothing: $(cat "$work/stderr.log")"

disk_frames() { echo $(($(stat -c %s "$SDL_DISKAUDIOFILE") / 8)); }
disk_past() { [ "$(disk_frames)" -gt $(($1 + $2 * disk_rate)) ]; }
disk_rate=48000
key_frame=$(disk_frames)
xdotool key h
wait_for 30 disk_past "$key_frame" 7 || fail "the disk driver stopped writing"
space_frame=$(disk_frames)
xdotool key space
wait_for 30 disk_past "$space_frame" 7 || fail "the disk driver stopped writing"
end_toy

measure "$SDL_DISKAUDIOFILE" --raw f32 "$disk_rate" 2
[ "$rec_clipped" = 0 ] || fail "$rec_clipped samples at full scale"
space_time=$(awk -v f="$space_frame" -v r="$disk_rate" 'BEGIN { print f / r }')
# The disk driver runs a few per cent fast, so the times are not the motion's.
check_tones 0 right 1 "$space_time"
single=$(awk 'NR == 1 { print $2 }' "$work/twelve.txt")
chord=$(onsets "$space_time" | awk '$2 > peak { peak = $2 } END { print peak + 0 }')
note "one landing peaks at $single, the chord of forty at $chord, all at $rec_peak"
awk -v s="$single" -v c="$chord" 'BEGIN { exit !(c > s && c < 2.5 * s) }' ||
  fail "the chord peaks at $chord against one landing's $single"
echo PASS
