#!/usr/bin/env bash
# A key that throws its own cube says its name at once, then its twelve tones
# follow, on the right for the "H" column; heard in real time at a PipeWire
# null sink.
source "$(dirname "$0")/sound_lib.sh"

start_x 1024 768
start_sound_server
play_sound_toy
record_throw h "$work/h.wav" 7.5
end_toy

# The tones from a second after the key, past the name (the first lands at
# 1.34 s).
check_tones "$(awk -v k="$key_time" 'BEGIN { print k + 1 }')" right 0.06
onsets 0 "$tones_start" >"$work/name.txt"
[ -s "$work/name.txt" ] || fail "no name before the first tone: $(cat "$work/stderr.log")"
name_delay=$(awk -v k="$key_time" 'NR == 1 { printf "%.3f", $1 - k }' "$work/name.txt")
note "the name began ${name_delay}s after the key"
after_key "the name began" "$name_delay" -0.05 0.3
echo PASS
